#pragma once
#include "common/core/LinkSection.h"
#include "modules/custlist/core/ListSelection.h"

#include <QDialog>
#include <memory>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace vm {
class Cursor;
}
namespace vm::forms {
class MessageList;
}
namespace vm::report {
struct ReportDocument;
}

namespace vm::lists {

// "List of clients" and "List of suppliers": the selection window of both
// list modules. It prints, previews or exports the detailed or summary list
// of the selected rows; it writes nothing.
class ListWindow : public QDialog {
    Q_OBJECT
public:
    ListWindow(core::TLinkSection& link, Master master, QWidget* parent = nullptr);
    ~ListWindow() override;

    Master master() const { return master_; }
    // The selection as the controls stand.
    ListOptions options() const;
    // Lays the chosen list out, as Print, Preview and Export do.
    report::ReportDocument layOut();
    // The date and time the page header prints (now, when not set).
    void setPrintDateTime(DateTime when) { printedAt_ = when; }
    // 0 print, 1 preview, 2 export (the window closes after an export).
    void runReport(int action);
    // Closes the table before the window, whichever way the window ends.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void startUp();
    void pick(QLineEdit* target);
    void setBusy(bool busy);

    core::TLinkSection& link_;
    Master master_;
    std::string stem_;
    bool started_ = false;
    DateTime printedAt_;
    std::unique_ptr<Cursor> table_; // opened at start: proves the file can be read

    QLineEdit* editFromCode_ = nullptr;
    QLineEdit* editToCode_ = nullptr;
    QLineEdit* editFromRep_ = nullptr;
    QLineEdit* editToRep_ = nullptr;
    QLineEdit* editTerritory_ = nullptr;
    std::vector<QLineEdit*> fields_; // entry order for Enter, Up and Down
    QCheckBox* checkPrintDialog_ = nullptr;
    QRadioButton* radioDetailed_ = nullptr;
    QRadioButton* radioSummary_ = nullptr;
    QRadioButton* radioByCode_ = nullptr;
    QRadioButton* radioByRep_ = nullptr;
    std::vector<QPushButton*> buttons_;
    QStatusBar* statusBar_ = nullptr;
    forms::MessageList* messages_ = nullptr;
};

} // namespace vm::lists
