#pragma once
#include "common/core/LinkSection.h"
#include "common/core/RegionalSettings.h"
#include "common/forms/RecordNavigator.h"
#include "modules/custmaint/core/ClientRefusal.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QTabWidget;
class QToolButton;

namespace vm::forms {
class FieldBinder;
class MessageList;
class ModuleErrorHandler;
class TErrorForm;
} // namespace vm::forms

namespace vm::custmaint {

class Tcustmaint_dm;

// "Maintenance of clients": one client at a time on three pages, a record
// navigator and the checks of the fields as the user leaves them. The form
// turns what the user does into calls on the data module and the rules and
// shows their answers; every edit runs in its own transaction.
class Tcustmaint_frm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 201;

    Tcustmaint_frm(core::TLinkSection& link, Tcustmaint_dm& dm, QWidget* parent = nullptr);
    ~Tcustmaint_frm() override;

    void setErrorForm(forms::TErrorForm* errorForm) { errorForm_ = errorForm; }
    void setErrorHandler(forms::ModuleErrorHandler* handler) { errorHandler_ = handler; }

    // The work of the first activation: texts, terminology, status bar,
    // help path, tables, lists. Returns false when a table could not be
    // opened (the user was told, the window is closing). Later calls do
    // nothing.
    bool startUp();

    forms::RecordNavigator& navigator() { return *navigator_; }
    forms::MessageList& messages() { return *messages_; }

    // What the buttons and keys do, callable from tests.
    void listClients();
    void quit();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Exit { Salesrep, Territory, Terms, Language, BillTo, Account };
    struct ExitCheck {
        Exit kind;
        std::set<QWidget*> skip; // focus moving here does not check
    };

    void build();
    QWidget* buildGeneralPage();
    QWidget* buildControlPage();
    QWidget* buildCommentsPage();
    void bindFields();
    void applyTerminology();

    bool browsing() const;
    bool editing() const;
    void setFieldState(bool on);
    bool pickerWindowOpen() const;
    void showMessage(int index, bool plain = false);
    QWidget* fieldWidget(ClientField field) const;
    void showPage(ClientPage page);

    void beforeNavigator(forms::RecordNavigator::Action action, bool& abort);
    void afterNavigator(forms::RecordNavigator::Action action);
    void doInsert();
    void doEdit();
    void doPost();
    void doCancel();
    void doDelete();
    void afterOtherButton();

    void codeExit();
    void openForEdit(const std::string& code);
    void runExitCheck(QLineEdit* edit);
    void afterScroll();
    void fillLists();
    void selectLists();
    void switchCurrencySign();
    void reload();

    void pickSalesman();
    void pickTerritory();
    void pickTerms();
    void pickBillTo();
    void pickAccount(int n);
    std::string pickClientCode();
    void quickLink();
    void sendMail();
    void printWindow();
    void help();

    bool handleKey(QObject* watched, int key);
    void moveFocus(bool forward);

    core::TLinkSection& link_;
    Tcustmaint_dm& dm_;
    forms::TErrorForm* errorForm_ = nullptr;
    forms::ModuleErrorHandler* errorHandler_ = nullptr;
    std::unique_ptr<forms::FieldBinder> binder_;
    core::RegionalSettings regional_;
    bool started_ = false;
    bool inScroll_ = false;
    bool codeTyped_ = false;
    bool quitting_ = false;
    int moveListener_ = -1;
    std::map<QLineEdit*, ExitCheck> exitChecks_;
    std::vector<QWidget*> dataControls_;

    QTabWidget* pages_ = nullptr;
    QWidget* tabGeneral_ = nullptr;
    QWidget* tabControl_ = nullptr;
    QWidget* tabComments_ = nullptr;
    QLineEdit* editCode_ = nullptr;
    QToolButton* btnListClients_ = nullptr;
    QLineEdit* editName_ = nullptr;
    QLineEdit* editPostal_ = nullptr;
    QLineEdit* editEmail_ = nullptr;
    QLineEdit* editSalesrep_ = nullptr;
    QLineEdit* editTerr_ = nullptr;
    QLineEdit* editTerms_ = nullptr;
    QLineEdit* editLanguage_ = nullptr;
    QLineEdit* editBillTo_ = nullptr;
    QLineEdit* editAccnt_[3] = {};
    QLineEdit* editDateCreated_ = nullptr;
    QLineEdit* editShipVia_ = nullptr;
    QToolButton* btnSalesrep_ = nullptr;
    QToolButton* btnTerr_ = nullptr;
    QToolButton* btnTerms_ = nullptr;
    QToolButton* btnBillTo_ = nullptr;
    QToolButton* btnAccnt_[3] = {};
    QCheckBox* checkEmailStatement_ = nullptr;
    QCheckBox* checkEmailInvoice_ = nullptr;
    QSpinBox* spinCopies_ = nullptr;
    QComboBox* comboFormat_ = nullptr;
    QComboBox* comboPriceList_ = nullptr;
    QComboBox* comboCurrency_ = nullptr;
    QPlainTextEdit* memoComments_ = nullptr;
    forms::RecordNavigator* navigator_ = nullptr;
    QPushButton* btnEmail_ = nullptr;
    QPushButton* btnQuickLink_ = nullptr;
    QPushButton* btnPrint_ = nullptr;
    QPushButton* btnQuit_ = nullptr;
    QPushButton* btnHelp_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    forms::MessageList* messages_ = nullptr;
    QString helpPath_;
};

} // namespace vm::custmaint
