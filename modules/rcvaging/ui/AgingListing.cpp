#include "modules/rcvaging/ui/AgingListing.h"

#include "common/core/RegionalSettings.h"
#include "common/forms/LanguageTable.h"
#include "modules/rcvaging/core/Aging.h"
#include "modules/rcvaging/ui/AgingDataSource.h"
#include "modules/rcvaging/ui/AgingReport.h"
#include "report/ReportLayouter.h"

namespace vm::aging {
namespace {

const char* stemOf(Ledger ledger) {
    return ledger == Ledger::Receivables ? "rcvaging" : "payaging";
}

// Passes the rows through, counting them for the progress callback.
class CountingSource : public report::DataSource {
public:
    CountingSource(report::DataSource& inner, const std::function<void(long long)>& progress)
        : inner_(inner), progress_(progress) {}
    bool next() override {
        const bool more = inner_.next();
        if (more && progress_ && ++rows_ % 500 == 0) progress_(rows_);
        return more;
    }
    std::vector<std::string> fieldNames() const override { return inner_.fieldNames(); }
    Value value(std::string_view name) const override { return inner_.value(name); }
    bool groupOnly() const override { return inner_.groupOnly(); }
    bool rewind() override {
        rows_ = 0;
        return inner_.rewind();
    }

private:
    report::DataSource& inner_;
    const std::function<void(long long)>& progress_;
    long long rows_ = 0;
};

} // namespace

report::ReportDocument layOutAgingListing(Database& company, const AgingListingSetup& setup) {
    AgingOptions o = setup.options;
    if (o.reportDate.isNull()) o.reportDate = o.today;
    Aging aging(company, o);
    AgingReportSetup s;
    s.ledger = o.ledger;
    s.detailed = setup.detailed;
    s.printAddress = setup.printAddress;
    s.printComments = setup.printComments;
    s.companyName = setup.companyName;
    s.userName = setup.userName;
    s.reportDate = o.reportDate;
    s.bucketNames = aging.control().bucketNames;
    s.language = setup.language;
    s.amountSign = aging.amountSign(core::RegionalSettings::current().currencySymbol);
    std::unique_ptr<report::Report> r = AgingReport::build(s);
    r->setPrintDateTime(setup.printedAt.isNull() ? DateTime::now() : setup.printedAt);
    // Captions of the report from the module's language table.
    try {
        forms::LanguageTable table(stemOf(o.ledger), setup.langCode);
        const std::string form = AgingReport::formName(s);
        if (auto title = table.find(form, form)) {
            r->setTitle(title->caption);
            r->setCaption("QRLabelTitle", title->caption);
        }
        for (report::ReportBand* band : r->allBands())
            for (auto& item : band->items)
                if (item.kind == report::ItemKind::Label && !item.name.empty())
                    if (auto e = table.find(form, item.name)) item.text = e->caption;
    } catch (const std::exception&) {
    }
    AgingDataSource source(aging, s.detailed, s.printAddress, setup.typeNames);
    CountingSource counted(source, setup.progress);
    r->setDataSource(&counted);
    return report::ReportLayouter::run(*r);
}

std::array<std::string, 5> agingTypeNames(Ledger ledger, const std::string& langCode) {
    std::array<std::string, 5> names;
    try {
        forms::LanguageTable table(stemOf(ledger), langCode);
        const std::string form = ledger == Ledger::Receivables ? "Trcvaging_frm" : "Tpayaging_frm";
        if (auto e = table.find(form, "IntlStrings1"))
            for (std::size_t i = 0; i < names.size() && i < e->lines.size(); ++i)
                names[i] = e->lines[i];
    } catch (const std::exception&) {
    }
    return names;
}

} // namespace vm::aging
