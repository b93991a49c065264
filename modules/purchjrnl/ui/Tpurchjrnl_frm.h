#pragma once
#include "common/core/LinkSection.h"
#include "common/forms/JournalWindow.h"
// moc does not parse the C++20 library headers the engine types use.
#ifndef Q_MOC_RUN
#include "engine/Money.h"
#include "modules/purchjrnl/core/PurchaseDocument.h"
#include "modules/purchjrnl/core/PurchaseEntry.h"
#include "modules/purchjrnl/core/PurchaseMessage.h"
#endif

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
class Tpurchjrnl_frm : public forms::JournalWindow {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 304;
    static constexpr int kLines = PurchaseDocument::kLines;

    Tpurchjrnl_frm(core::TLinkSection& link, Tpurchjrnl_dm& dm, QWidget* parent = nullptr);
    ~Tpurchjrnl_frm() override;

    bool startUp() override;

    void applyDateMask();

    // What the window's own buttons do, callable from tests (the shared
    // ones are JournalWindow's).
    void acceptTransaction();
    void cancelEntry();
    void listSuppliers();
    void lookUpAccount();
    void emailTo();

protected:
    bool dataOpen() const override;
    int windowPeriod() const override;
    void setWindowPeriod(int period) override;
    int ledgerPeriod() const override;
    QString periodName(int period) const override;
    void closeData() override;
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

    Tpurchjrnl_dm& dm_;

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
    QPushButton* btnPeriod_ = nullptr;
    QPushButton* btnExit_ = nullptr;
    QPushButton* btnHelp_ = nullptr;

    int currentLine_ = 0;
    std::optional<PurchaseEntry::Supplier> supplier_;
    std::optional<int> currency_; // the sign amounts are shown with; none: no sign
};

} // namespace vm::purchjrnl
