#include "modules/custlist/ui/ListListing.h"

#include "common/core/RegionalSettings.h"
#include "common/forms/LanguageTable.h"
#include "modules/custlist/ui/ListReport.h"
#include "report/DataSource.h"
#include "report/ReportLayouter.h"

namespace vm::lists {
namespace {

// The selected rows as report rows, with a progress count.
class SelectionSource : public report::DataSource {
public:
    SelectionSource(ListSelection& selection, const std::function<void(long long)>& progress)
        : selection_(selection), progress_(progress) {}
    bool next() override {
        if (!selection_.next()) return false;
        if (progress_ && ++rows_ % 500 == 0) progress_(rows_);
        return true;
    }
    std::vector<std::string> fieldNames() const override { return selection_.fieldNames(); }
    Value value(std::string_view name) const override { return selection_.value(name); }
    bool rewind() override {
        selection_.restart();
        rows_ = 0;
        return true;
    }

private:
    ListSelection& selection_;
    const std::function<void(long long)>& progress_;
    long long rows_ = 0;
};

} // namespace

report::ReportDocument layOutList(Database& company, const ListListingSetup& setup) {
    const bool clients = setup.options.master == Master::Clients;
    const std::string stem = clients ? "custlist" : "vendlist";
    ListReportSetup s;
    s.master = setup.options.master;
    s.detailed = setup.options.detailed;
    s.companyName = setup.companyName;
    s.userName = setup.userName;
    s.language = setup.language;
    s.international = setup.international;
    // Dates print in the workstation's short date format.
    s.dateMask = core::RegionalSettings::current().dateFormat;
    if (setup.language != 1) {
        s.yes = "Oui";
        s.no = "Non";
    }
    std::unique_ptr<report::Report> r;
    try {
        forms::LanguageTable table(stem, setup.langCode);
        const std::string window = clients ? "Tcustlist_frm" : "Tvendlist_frm";
        if (auto words = table.find(window, "IntlStrings1"); words && words->lines.size() >= 2) {
            s.yes = words->lines[0];
            s.no = words->lines[1];
        }
        r = ListReport::build(s);
        const std::string form = ListReport::formName(s);
        if (auto title = table.find(form, form)) {
            r->setTitle(title->caption);
            r->setCaption("QRLabelTitle", title->caption);
        }
        for (report::ReportBand* band : r->allBands())
            for (auto& item : band->items)
                if (item.kind == report::ItemKind::Label && !item.name.empty())
                    if (auto e = table.find(form, item.name)) item.text = e->caption;
        if (clients && s.detailed && s.international) ListReport::applyInternationalTaxTitles(*r, s.language);
    } catch (const std::exception&) {
        // A missing language table leaves the designed English captions.
        if (!r) r = ListReport::build(s);
    }
    r->setPrintDateTime(setup.printedAt.isNull() ? DateTime::now() : setup.printedAt);
    ListSelection selection(company, setup.options);
    SelectionSource source(selection, setup.progress);
    r->setDataSource(&source);
    return report::ReportLayouter::run(*r);
}

} // namespace vm::lists
