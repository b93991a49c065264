#pragma once
#include "common/core/LinkSection.h"
#include "common/core/RegionalSettings.h"
#include "common/forms/RecordMaintenance.h"
#include "common/forms/RecordNavigator.h"
#include "modules/vendmaint/core/SupplierRefusal.h"

#include <QDialog>

#include <map>
#include <memory>
#include <set>
#include <vector>

class QCheckBox;
class QComboBox;
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

namespace vm::vendmaint {

class Tvendmaint_dm;

// "Maintenance of suppliers": one supplier at a time on three pages with a
// record navigator. The form turns what the user does into calls on the
// data module and the rules and shows their answers; every edit runs in its
// own transaction.
class Tvendmaint_frm : public QDialog, private forms::MaintenanceView {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 301;

    Tvendmaint_frm(core::TLinkSection& link, Tvendmaint_dm& dm, QWidget* parent = nullptr);
    ~Tvendmaint_frm() override;

    void setErrorHandler(forms::ModuleErrorHandler* handler) { errorHandler_ = handler; }

    // The work of the first activation: texts, terminology, status bar,
    // help path, tables, lists. Returns false when a table could not be
    // opened (the user was told, the window is closing). Later calls do
    // nothing.
    bool startUp();

    forms::RecordNavigator& navigator() { return *navigator_; }
    forms::MessageList& messages() { return *messages_; }

    void searchSupplier();
    void quit();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QWidget* buildGeneralPage();
    QWidget* buildControlPage();
    QWidget* buildCommentsPage();
    void bindFields();
    void applyTerminology();

    bool browsing() const;
    bool editing() const;
    bool pickerWindowOpen() const;
    QWidget* fieldWidget(SupplierField field) const;

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
    void accountExit(QLineEdit* edit);
    void postalExit();
    void fillLists();
    void selectLists();
    void switchCurrencySign();

    void pickTerritory();
    void pickAccount(int n);
    void quickLink();
    void sendMail();
    void printWindow();
    void help();

    bool handleKey(QObject* watched, int key);

    core::TLinkSection& link_;
    Tvendmaint_dm& dm_;
    forms::ModuleErrorHandler* errorHandler_ = nullptr;
    std::unique_ptr<forms::FieldBinder> binder_;
    core::RegionalSettings regional_;
    bool started_ = false;
    std::unique_ptr<forms::RecordMaintenance> maint_;
    bool quitting_ = false;
    int moveListener_ = -1;
    std::set<QWidget*> skipAccountCheck_;
    std::vector<QWidget*> dataControls_;

    QTabWidget* pages_ = nullptr;
    QWidget* tabGeneral_ = nullptr;
    QWidget* tabControl_ = nullptr;
    QWidget* tabComments_ = nullptr;
    QLineEdit* editCode_ = nullptr;
    QToolButton* btnSearch_ = nullptr;
    QLineEdit* editName_ = nullptr;
    QLineEdit* editEmail_ = nullptr;
    QLineEdit* editCountry_ = nullptr;
    QLineEdit* editPostal_ = nullptr;
    QLineEdit* editTerr_ = nullptr;
    QLineEdit* editDateCreated_ = nullptr;
    QLineEdit* editAccnt_[3] = {};
    QToolButton* btnTerr_ = nullptr;
    QToolButton* btnAccnt_[3] = {};
    QComboBox* comboCurrency_ = nullptr;
    QComboBox* comboBank_ = nullptr;
    QSpinBox* spinCopies_ = nullptr;
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

} // namespace vm::vendmaint
