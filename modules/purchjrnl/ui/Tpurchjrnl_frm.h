#pragma once
#include "common/core/LinkSection.h"
// moc does not parse the C++20 library headers the engine types use.
#ifndef Q_MOC_RUN
#include "engine/Money.h"
#include "modules/purchjrnl/core/PurchaseDocument.h"
#include "modules/purchjrnl/core/PurchaseEntry.h"
#include "modules/purchjrnl/core/PurchaseMessage.h"
#endif

#include <QDialog>
#include <QPointer>

#include <array>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QToolButton;

namespace vm::forms {
class MessageList;
class ModuleErrorHandler;
class TErrorForm;
class Tperiod_frm;
} // namespace vm::forms

namespace vm::purchjrnl {

class Tpurchjrnl_dm;

// "Purchases": one supplier document at a time (invoice, debit note, credit
// note or adjustment, or a direct/cash purchase), distributed over eleven
// lines and posted into the window's period.
//
// The form turns what the user does into calls on the entry and the posting
// of the data module and shows their answers; refusals come back as lines
// of the message list.
class Tpurchjrnl_frm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 304;
    static constexpr int kLines = PurchaseDocument::kLines;

    Tpurchjrnl_frm(core::TLinkSection& link, Tpurchjrnl_dm& dm, QWidget* parent = nullptr);
    ~Tpurchjrnl_frm() override;

    void setErrorForm(forms::TErrorForm* form);
    void setErrorHandler(forms::ModuleErrorHandler* handler) { errorHandler_ = handler; }
    void setPeriodForm(forms::Tperiod_frm* form);

    // The work of the first activation: texts, status bar, aliases, tables,
    // the session's virmem row, caption. Returns false when a table could not
    // be opened (the user was told and the window is closing).
    bool startUp();

    forms::MessageList& messages() { return *messages_; }
    void applyDateMask();

    // What the buttons do, callable from tests.
    void acceptTransaction();
    void cancelEntry();
    void changePeriod();
    void listSuppliers();
    void lookUpAccount();
    void quickLink();
    void emailTo();
    void printScreen();
    void showHelp();
    void quit();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct LineEdits {
        QLineEdit* account = nullptr;
        QLineEdit* description = nullptr;
        QLineEdit* debit = nullptr;
        QLineEdit* credit = nullptr;
    };

    void build();
    void connectActions();
    void resetScreen();
    void supplierExit();
    void chooseSupplier(const QString& code);
    void directCashClicked(bool checked);
    bool dateExit();
    bool dueDateExit();
    bool invoiceExit();
    bool referenceExit();
    void accountExit(int line);
    void amountExit(int line, bool debit);
    void showLines();
    void showLine(int line);
    void showTotals();
    PurchaseType type() const;
    std::int64_t terms() const;
    QString moneyText(Money m) const;
    void inform(int message);
    void focusField(PurchaseField field, int line);
    bool skipValidation() const;
    bool isEntryField(QObject* o) const;
    int lineOf(QObject* o, int* column = nullptr) const;

    core::TLinkSection& link_;
    Tpurchjrnl_dm& dm_;
    QPointer<forms::TErrorForm> errorForm_;
    forms::ModuleErrorHandler* errorHandler_ = nullptr;
    QPointer<forms::Tperiod_frm> periodForm_;

    QTabWidget* tabs_ = nullptr;
    QLineEdit* editSupplier_ = nullptr;
    QPushButton* btnListSuppliers_ = nullptr;
    QLabel* labelName_ = nullptr;
    QLabel* labelAdr1_ = nullptr;
    QLabel* labelAdr2_ = nullptr;
    QLabel* labelCity_ = nullptr;
    QCheckBox* checkDirect_ = nullptr;
    QComboBox* comboType_ = nullptr;
    QLineEdit* editInvoice_ = nullptr;
    QLineEdit* editReference_ = nullptr;
    QLineEdit* editDate_ = nullptr;
    QLineEdit* editDueDate_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    QToolButton* btnAccount_ = nullptr;
    std::array<LineEdits, kLines> lines_{};
    QLineEdit* editTotalDebit_ = nullptr;
    QLineEdit* editTotalCredit_ = nullptr;
    QPushButton* btnAccept_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
    QPushButton* btnPrint_ = nullptr;
    QPushButton* btnEmail_ = nullptr;
    QPushButton* btnQuickLink_ = nullptr;
    QPushButton* btnPeriod_ = nullptr;
    QPushButton* btnExit_ = nullptr;
    QPushButton* btnHelp_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    forms::MessageList* messages_ = nullptr;

    bool started_ = false;
    bool leaving_ = false;
    bool busy_ = false; // a message box of a field check is up
    int currentLine_ = 0;
    std::optional<PurchaseEntry::Supplier> supplier_;
    std::optional<int> currency_; // the sign amounts are shown with; none: no sign
    QString captionBase_;
    QString helpPath_;
};

} // namespace vm::purchjrnl
