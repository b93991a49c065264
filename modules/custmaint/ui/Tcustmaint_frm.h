#pragma once
#include "common/core/LinkSection.h"
#include "common/core/RegionalSettings.h"
#include "common/forms/RecordMaintenance.h"
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
class Tcustmaint_frm : public QDialog, private forms::MaintenanceView {
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
    enum class Exit { Salesrep, Territory, Terms, Language, BillTo, Account, Postal };
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
    bool pickerWindowOpen() const;
    QWidget* fieldWidget(ClientField field) const;

    // The record-maintenance controller and what it asks of this window.
    void startMaintenance();
    void setDataControls(bool on) override;
    void setCodeField(bool open, bool searchEnabled) override;
    void focusCode() override;
    void focusName() override;
    void focusField(int field) override;
    void showPage(int page) override;
    void showMessage(int index, bool plain) override;
    bool confirm(int message, const std::string& detail) override;
    void reload() override;
    void showRecord() override;
    void newRecordChoices() override;

    void codeExit();
    void runExitCheck(QLineEdit* edit);
    void fillLists();
    void selectLists();
    void switchCurrencySign();

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

    core::TLinkSection& link_;
    Tcustmaint_dm& dm_;
    forms::TErrorForm* errorForm_ = nullptr;
    forms::ModuleErrorHandler* errorHandler_ = nullptr;
    std::unique_ptr<forms::FieldBinder> binder_;
    core::RegionalSettings regional_;
    bool started_ = false;
    std::unique_ptr<forms::RecordMaintenance> maint_;
    std::string languageOnEntry_; // the language field's text when it was entered
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
    QLineEdit* editBalance_ = nullptr;
    QLineEdit* editCountry_ = nullptr;
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
    forms::MessageList* intlWords_ = nullptr; // captions under the international setting
    QString helpPath_;
};

} // namespace vm::custmaint
