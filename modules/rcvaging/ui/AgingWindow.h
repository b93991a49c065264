#pragma once
#include "common/core/LinkSection.h"
#include "modules/rcvaging/core/Aging.h"
#include "modules/rcvaging/ui/AgingListing.h"
#include "report/PageStream.h"

#include <QDialog>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace vm {
class Cursor;
}
namespace vm::forms {
class MessageList;
class ModuleStartup;
} // namespace vm::forms

namespace vm::aging {

// "Aging of accounts": the options window of both aging modules. It builds
// the chosen listing from the aging computation and prints, previews or
// exports it; it writes nothing.
class AgingWindow : public QDialog {
    Q_OBJECT
public:
    AgingWindow(core::TLinkSection& link, Ledger ledger, QWidget* parent = nullptr);
    ~AgingWindow() override;

    Ledger ledger() const { return ledger_; }
    // The options as the controls stand (the report date parsed in the
    // session's date format; blank when it does not parse).
    AgingOptions options() const;
    // Lays the chosen listing out whole (small companies and tests).
    report::ReportDocument layOut();
    // Page streams of the chosen listing, as Print, Preview and Export read it.
    report::StreamFactory streamFactory();
    AgingListingSetup listingSetup();
    // Whether "from" sorts after "to"; if so both are cleared and "from"
    // gets the focus.
    bool clearInvertedRange();
    // The date and time the report heading prints (now, when not set).
    void setPrintDateTime(DateTime when) { printedAt_ = when; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void startUp();
    void pick(QLineEdit* target, const char* library, const char* function);
    void runReport(int action); // 0 print, 1 preview, 2 export
    void setBusy(bool busy);
    QString message(int i, const QString& fallback) const;

    core::TLinkSection& link_;
    Ledger ledger_;
    std::string stem_;
    bool started_ = false;
    DateTime printedAt_;
    AgingControl control_;
    std::vector<int> convertCurrencies_; // combo index -> currency number (-1 none)
    std::vector<int> printCurrencies_;

    QLineEdit* editDate_ = nullptr;
    QLineEdit* editFrom_ = nullptr;
    QLineEdit* editTo_ = nullptr;
    QLineEdit* editTerritory_ = nullptr;
    QComboBox* comboConvert_ = nullptr;
    QComboBox* comboCurrency_ = nullptr;
    QComboBox* comboOlder_ = nullptr;
    QLabel* labelAll_ = nullptr;
    QRadioButton* radioCode_ = nullptr;
    QRadioButton* radioRep_ = nullptr;
    QCheckBox* checkPrintDialog_ = nullptr;
    QCheckBox* checkAddress_ = nullptr;
    QCheckBox* checkDueDate_ = nullptr;
    QCheckBox* checkSubsequent_ = nullptr;
    QCheckBox* checkDetailed_ = nullptr;
    QCheckBox* checkComments_ = nullptr;
    QCheckBox* checkZero_ = nullptr;
    QCheckBox* checkHistory_ = nullptr;
    std::vector<QPushButton*> buttons_;
    QStatusBar* statusBar_ = nullptr;
    forms::MessageList* messages_ = nullptr;
};

} // namespace vm::aging
