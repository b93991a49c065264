#pragma once
#include "common/core/LinkSection.h"
#include "common/forms/JournalWindow.h"
// moc does not parse the C++20 library headers the engine types use.
#ifndef Q_MOC_RUN
#include "engine/Money.h"
#include "modules/cashrcpt/core/ReceiptMessage.h"
#include "modules/cashrcpt/ui/InvoiceGridModel.h"
#include "modules/cashrcpt/ui/LineGridModel.h"
#endif

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

namespace vm::cashrcpt {

class Tcashrcpt_dm;

// "Cash receipts": one receipt at a time, from a client (its open invoices,
// the payments applied to them and the distribution they preset) or not
// (a bare distribution with a memo), posted into the window's period.
//
// The form turns what the user does into calls on the entry and the posting
// of the data module and shows their answers; refusals come back as lines
// of the message list.
class Tcashrcpt_frm : public forms::DistributionWindow {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 206;

    Tcashrcpt_frm(core::TLinkSection& link, Tcashrcpt_dm& dm, QWidget* parent = nullptr);
    ~Tcashrcpt_frm() override;

    bool startUp() override;

    // Gives the date edit the mask of the workstation's date format (after
    // the regional settings were read).
    void applyDateMask();

    // What the window's own buttons do, callable from tests (the shared
    // ones are JournalWindow's).
    void acceptTransaction();
    void cancelEntry();
    void listClients();
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
    void build();
    void connectActions();
    void clientExit();
    void clientTyped(const QString& text);
    void startClient(const QString& code);
    void notFromClientClicked(bool checked);
    void dateExit();
    void startEntry();
    void resetEntry();
    void lockFields(bool locked);
    void refreshTotals() override;
    void reloadGrids();
    void amountRefused(QTableView* grid, int row, int column, const QString& text);
    void showClientFigures();
    QString boxTitle() const;
    void invoiceDoubleClicked(const QModelIndex& index);
    void setCurrencySign(std::optional<int> currency);
    QString moneyText(Money m) const;
    void inform(int message) override;
    void focusField(ReceiptField field, int line);
    bool focusGoesToButton() const;

    Tcashrcpt_dm& dm_;

    QTabWidget* tabs_ = nullptr;
    QLineEdit* editClient_ = nullptr;
    QPushButton* btnListClients_ = nullptr;
    QLabel* labelClientName_ = nullptr;
    QLineEdit* editBalance_ = nullptr;
    QLineEdit* editCreditLimit_ = nullptr;
    QLabel* statusMessage_ = nullptr;
    QLineEdit* editDate_ = nullptr;
    QLineEdit* editReference_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    QCheckBox* checkNsf_ = nullptr;
    QCheckBox* checkNotClient_ = nullptr;
    QTableView* gridInvoices_ = nullptr;
    QToolButton* btnAccount_ = nullptr;
    QLineEdit* editTotalDebit_ = nullptr;
    QLineEdit* editTotalCredit_ = nullptr;
    QPushButton* btnAccept_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
    QPushButton* btnPrint_ = nullptr;
    QPushButton* btnEmail_ = nullptr;
    QPushButton* btnPeriod_ = nullptr;
    QPushButton* btnExit_ = nullptr;
    QPushButton* btnHelp_ = nullptr;
    forms::MessageList* intlWords_ = nullptr; // texts under the international setting
    InvoiceGridModel* invoiceModel_ = nullptr;

    std::optional<int> currency_; // the sign amounts are shown with; none: no sign
};

} // namespace vm::cashrcpt
