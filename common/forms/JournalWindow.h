#pragma once
#include "common/core/LinkSection.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QKeyEvent;
class QPushButton;
class QStatusBar;
class QTableView;

namespace vm::forms {

class DistributionGridModel;
class MessageList;
class ModuleErrorHandler;
class TErrorForm;
class Tperiod_frm;

// What the journal-entry windows (cash receipts, purchases, cash
// disbursements) have in common: the start-up over the module's tables,
// the caption with the window's period and the period change, the quick
// link, print-screen and help buttons, and an Exit that is the only way
// out (Escape does not close; the close box does what Exit does).
//
// A window builds its own form and sets statusBar_, messages_ and
// btnQuickLink_; it answers for its data module through the hooks below.
class JournalWindow : public QDialog {
    Q_OBJECT
public:
    ~JournalWindow() override;

    void setErrorForm(TErrorForm* form);
    void setErrorHandler(ModuleErrorHandler* handler) { errorHandler_ = handler; }
    void setPeriodForm(Tperiod_frm* form);
    MessageList& messages() { return *messages_; }

    // The work of the first activation: texts, status bar, aliases, tables,
    // work tables, caption. Returns false when a table could not be opened
    // (the user was told and the window is closing). Later calls do nothing.
    virtual bool startUp() = 0;

    // What the shared buttons do, callable from tests.
    void changePeriod();
    void quickLink();
    void printScreen();
    void showHelp();
    void quit();

protected:
    // `captionMessages`: the lines of the message list that make the caption
    // after a period change ("... current period is ", "..., posting in
    // period ").
    JournalWindow(core::TLinkSection& link, int helpContext, std::pair<int, int> captionMessages,
                  QWidget* parent);

    // The start-up every journal window runs first: its texts and the period
    // dialog's from the module's language table, then `afterTexts`, the
    // fallbacks, the status bar, the help path, the aliases and `tables`
    // (alias, table), each of which must open. False when one could not: the
    // user was told and the window is closing.
    bool startModule(const std::string& stem, const std::string& companyAlias, const std::string& systemAlias,
                     const std::vector<std::pair<std::string, const char*>>& tables,
                     const std::function<void()>& afterTexts = {});
    // Once the data module is open: the caption with the window's period and
    // its month name; quick link greyed while a quick link window is open.
    void showOpeningCaption();

    // The data module, as the shared parts need it.
    virtual bool dataOpen() const = 0;
    virtual int windowPeriod() const = 0;
    virtual void setWindowPeriod(int period) = 0;
    // The ledger's own current period (the control row's).
    virtual int ledgerPeriod() const = 0;
    virtual QString periodName(int period) const = 0;
    // Exit: let go of the entry's grids and close the data module.
    virtual void closeData() = 0;

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

    core::TLinkSection& link_;
    QPointer<TErrorForm> errorForm_;
    ModuleErrorHandler* errorHandler_ = nullptr;
    QPointer<Tperiod_frm> periodForm_;
    QStatusBar* statusBar_ = nullptr;
    MessageList* messages_ = nullptr;
    QPushButton* btnQuickLink_ = nullptr;
    QString helpPath_;
    QString captionBase_;
    bool started_ = false;
    bool leaving_ = false;
    bool busy_ = false; // a dialog or picker of the window is open

private:
    int helpContext_;
    std::pair<int, int> captionMessages_;
};

// A journal window whose distribution is a grid of rows (cash receipts and
// disbursements): the account look-up, deleting a row, a refused account,
// and the grid's own keys. The window sets gridLines_ and lineModel_.
class DistributionWindow : public JournalWindow {
public:
    // Puts the account chosen in the account picker on the current row (the
    // empty row when none is current).
    void lookUpAccount();

protected:
    using JournalWindow::JournalWindow;

    // Ctrl+Delete removes the current row; F2 in the account column looks
    // the account up. Returns whether the key was used.
    bool distributionKey(const QKeyEvent& key);
    void deleteCurrentLine();
    // Says why an account was refused and puts the focus on its cell.
    void accountRefused(int row, int message);

    // The totals shown under the grid, after a change of the rows.
    virtual void refreshTotals() = 0;
    // Shows line `message` of the message list.
    virtual void inform(int message) = 0;

    QTableView* gridLines_ = nullptr;
    DistributionGridModel* lineModel_ = nullptr;
    bool entryOpen_ = false; // a party was accepted, or the entry is not to or from one
};

} // namespace vm::forms
