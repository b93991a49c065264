#pragma once
#include "engine/Date.h"
#include "report/ItemFont.h"
#include "report/PageSetup.h"
#include "report/ReportBand.h"
#include "report/ReportGroup.h"

#include <string>
#include <vector>

namespace vm::report {

class DataSource;

// A banded report: page setup, a default font, the bands and groups, and the
// data source the detail band runs over. Building one needs no widgets; a
// module's core can build it and hand it to the layouter, the exporters or
// the preview.
//
// Bands print in this order: on every page the page header, on the first
// page the title after it; group headers where their key changes; a detail
// band per row; group footers where their group ends; the summary after the
// last row; the page footer at the bottom of every page.
class Report {
public:
    // How band heights and item positions are given. Inches serve the
    // statement layouts, whose tables position every item in inches.
    enum class Units { Points, Inches };

    explicit Report(std::string title = {});

    const std::string& title() const { return title_; }
    void setTitle(std::string t) { title_ = std::move(t); }

    PageSetup& pageSetup() { return page_; }
    const PageSetup& pageSetup() const { return page_; }
    ItemFont& defaultFont() { return font_; }
    const ItemFont& defaultFont() const { return font_; }
    Units units() const { return units_; }
    void setUnits(Units u) { units_ = u; }
    double pointsPerUnit() const { return units_ == Units::Inches ? PageSetup::kPointsPerInch : 1.0; }

    ReportBand& titleBand() { return title_band_; }
    ReportBand& pageHeader() { return pageHeader_; }
    ReportBand& detail() { return detail_; }
    ReportBand& summary() { return summary_; }
    ReportBand& pageFooter() { return pageFooter_; }
    const ReportBand& titleBand() const { return title_band_; }
    const ReportBand& pageHeader() const { return pageHeader_; }
    const ReportBand& detail() const { return detail_; }
    const ReportBand& summary() const { return summary_; }
    const ReportBand& pageFooter() const { return pageFooter_; }

    // Groups nest in the order they are added (the first is the outermost).
    ReportGroup& addGroup(std::string keyField);
    std::vector<ReportGroup>& groups() { return groups_; }
    const std::vector<ReportGroup>& groups() const { return groups_; }

    DataSource* dataSource() const { return data_; }
    void setDataSource(DataSource* d) { data_ = d; }

    // 1 English, otherwise French: month and day names of date masks.
    int language() const { return language_; }
    void setLanguage(int l) { language_ = l; }
    // Mask of dates without their own, from the regional short date format.
    const std::string& dateMask() const { return dateMask_; }
    void setDateMask(std::string m) { dateMask_ = std::move(m); }
    const std::string& timeMask() const { return timeMask_; }
    void setTimeMask(std::string m) { timeMask_ = std::move(m); }
    // Date and time printed by PrintDate and PrintTime items (now, by default).
    DateTime printDateTime() const { return printed_; }
    void setPrintDateTime(DateTime dt) { printed_ = dt; }

    // Header of the CSV export; items name their column with csvColumn.
    const std::vector<std::string>& csvColumns() const { return csvColumns_; }
    void setCsvColumns(std::vector<std::string> c) { csvColumns_ = std::move(c); }

    // Every band, in a fixed order (title, page header, group headers and
    // footers, detail, summary, page footer).
    std::vector<ReportBand*> allBands();
    std::vector<const ReportBand*> allBands() const;
    // The first item with this component name (case-insensitive), or null.
    ReportItem* findItem(std::string_view name);
    // Re-captions the label of this name (language tables); false when none.
    bool setCaption(std::string_view name, std::string text);
    // Applies the session's currency convention to every item whose mask
    // begins with "$" (see rewriteCurrencyMask); returns how many changed.
    int applyCurrency(const std::string& symbol, bool symbolBefore);

private:
    std::string title_;
    PageSetup page_;
    ItemFont font_;
    Units units_ = Units::Points;
    ReportBand title_band_{BandKind::Title};
    ReportBand pageHeader_{BandKind::PageHeader};
    ReportBand detail_{BandKind::Detail};
    ReportBand summary_{BandKind::Summary};
    ReportBand pageFooter_{BandKind::PageFooter};
    std::vector<ReportGroup> groups_;
    DataSource* data_ = nullptr;
    int language_ = 1;
    std::string dateMask_ = "dd/mm/yyyy";
    std::string timeMask_ = "hh:nn:ss";
    DateTime printed_;
    std::vector<std::string> csvColumns_;
};

} // namespace vm::report
