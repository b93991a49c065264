#pragma once
#include "common/core/LinkSection.h"
// moc does not parse the C++20 library headers the engine types use.
#ifndef Q_MOC_RUN
#include "engine/Money.h"
#include "modules/cashdisb/core/DisbursementMessage.h"
#endif

#include <QDialog>
#include <QPointer>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTableView;
class QTabWidget;
class QToolButton;

namespace vm::forms {
class MessageList;
class ModuleErrorHandler;
class TErrorForm;
class Tperiod_frm;
} // namespace vm::forms

namespace vm::cashdisb {

class InvoiceGridModel;
class LineGridModel;
class Tcashdisb_dm;

// "Cash disbursements": one payment at a time, to a supplier (its open invoices,
// the payments applied to them and the distribution they preset) or not
// (a bare distribution with a memo), posted into the window's period.
//
// The form turns what the user does into calls on the entry and the posting
// of the data module and shows their answers; refusals come back as lines
// of the message list.
class Tcashdisb_frm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 305;

    Tcashdisb_frm(core::TLinkSection& link, Tcashdisb_dm& dm, QWidget* parent = nullptr);
    ~Tcashdisb_frm() override;

    void setErrorForm(forms::TErrorForm* form);
    void setErrorHandler(forms::ModuleErrorHandler* handler) { errorHandler_ = handler; }
    void setPeriodForm(forms::Tperiod_frm* form);

    // The work of the first activation: texts, status bar, aliases, tables,
    // work tables, caption. Returns false when a table could not be opened
    // (the user was told and the window is closing). Later calls do nothing.
    bool startUp();

    forms::MessageList& messages() { return *messages_; }

    // Gives the date edit the mask of the workstation's date format (after
    // the regional settings were read).
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
    void build();
    void connectActions();
    void supplierExit();
    void supplierTyped(const QString& text);
    void startSupplier(const QString& code);
    void notToSupplierClicked(bool checked);
    void dateExit();
    void startEntry();
    void resetEntry();
    void lockFields(bool locked);
    void refreshTotals();
    void reloadGrids();
    void deleteCurrentLine();
    void accountRefused(int row, int message);
    void invoiceDoubleClicked(const QModelIndex& index);
    void setCurrencySign(std::optional<int> currency);
    QString moneyText(Money m) const;
    void inform(int message);
    void focusField(DisbursementField field, int line);
    bool focusGoesToButton() const;

    core::TLinkSection& link_;
    Tcashdisb_dm& dm_;
    QPointer<forms::TErrorForm> errorForm_;
    forms::ModuleErrorHandler* errorHandler_ = nullptr;
    QPointer<forms::Tperiod_frm> periodForm_;

    QTabWidget* tabs_ = nullptr;
    QLineEdit* editSupplier_ = nullptr;
    QPushButton* btnListSuppliers_ = nullptr;
    QLabel* labelSupplierName_ = nullptr;
    QLineEdit* editDate_ = nullptr;
    QLineEdit* editReference_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    QCheckBox* checkNotSupplier_ = nullptr;
    QTableView* gridInvoices_ = nullptr;
    QTableView* gridLines_ = nullptr;
    QToolButton* btnAccount_ = nullptr;
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
    forms::MessageList* intlWords_ = nullptr; // texts under the international setting
    InvoiceGridModel* invoiceModel_ = nullptr;
    LineGridModel* lineModel_ = nullptr;

    bool started_ = false;
    bool leaving_ = false;
    bool entryOpen_ = false; // a supplier was accepted or "not to a supplier" ticked
    QString captionBase_;
    QString helpPath_;
    std::optional<int> currency_; // the sign amounts are shown with; none: no sign
};

} // namespace vm::cashdisb
