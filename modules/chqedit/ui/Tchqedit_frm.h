#pragma once
#include "common/core/LinkSection.h"
#include "common/core/RegionalSettings.h"
#include "common/forms/RecordMaintenance.h"
#include "common/forms/RecordNavigator.h"
#ifndef Q_MOC_RUN
#include "modules/chqedit/core/ChequeEntryEditor.h"
#endif

#include <QDialog>

#include <memory>
#include <set>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTableView;
class QToolButton;

namespace vm::forms {
class FieldBinder;
class MessageList;
class ModuleErrorHandler;
} // namespace vm::forms

namespace vm::chqedit {

class LineGridModel;
class Tchqedit_dm;

// "Edit cheque entries" and "Recurring cheque entries": one entry (or
// template) at a time, its header on the record navigator, its lines in
// the session's work table, its distribution on a second page. The form
// turns what the user does into calls on the editor's rules and shows
// their answers; the header and its lines are stored, and deleted,
// together in one transaction.
class Tchqedit_frm : public QDialog, private forms::MaintenanceView {
    Q_OBJECT
public:
    static constexpr int kEntriesHelp = 309;
    static constexpr int kRecurringHelp = 316;
    enum Page { GeneralPage, DistributionPage };

    Tchqedit_frm(core::TLinkSection& link, Tchqedit_dm& dm, QWidget* parent = nullptr);
    ~Tchqedit_frm() override;

    void setErrorHandler(forms::ModuleErrorHandler* handler) { errorHandler_ = handler; }
    // The work of the first activation; false when a table could not be
    // opened (the user was told, the window is closing).
    bool startUp();
    bool recurring() const;

    forms::RecordNavigator& navigator() { return *navigator_; }
    forms::MessageList& messages() { return *messages_; }
    LineGridModel& lines() { return *lineModel_; }
    QTableView& grid() { return *grid_; }

    // "List of invoices": the supplier's open invoices; a choice becomes a
    // line. `choose` (tests) picks that invoice instead of waiting for the
    // user.
    void showInvoiceList(const QString& choose = {});
    void deleteCurrentLine();
    void quit();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QWidget* buildGeneralPage();
    QWidget* buildDistributionPage();
    void bindFields();
    void applyTerminology();

    bool browsing() const;
    bool editing() const;

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

    void refreshLines();
    void showTotal();
    void selectBank();
    void switchCurrencySign();
    void lockSupplierCode();
    void linesChanged();
    void lineRefused(int row, int column, int message);
    void pageChanged(int index);
    void supplierExit();
    void slotAccountExit(int slot);
    void bankChosen(int index);
    void commitGridEdit();

    void pickSupplier();
    void pickPayee();
    void pickAccount(int slot);
    void quickLink();
    void printWindow();
    void help();
    bool handleKey(QObject* watched, int key);

    core::TLinkSection& link_;
    Tchqedit_dm& dm_;
    forms::ModuleErrorHandler* errorHandler_ = nullptr;
    std::unique_ptr<forms::FieldBinder> binder_;
    core::RegionalSettings regional_;
    std::unique_ptr<forms::RecordMaintenance> maint_;
    bool started_ = false;
    bool quitting_ = false;
    bool linesStale_ = false;
    int moveListener_ = -1;
    QString supplierBefore_;
    std::vector<QWidget*> dataControls_;
    std::set<QWidget*> skipAccountCheck_;

    QTabWidget* pages_ = nullptr;
    QWidget* tabGeneral_ = nullptr;
    QWidget* tabDistribution_ = nullptr;
    QLineEdit* editSeq_ = nullptr;
    QLabel* labelSupplier_ = nullptr;
    QLineEdit* editSupplier_ = nullptr;
    QToolButton* btnSupplier_ = nullptr;
    QLineEdit* editDesc_ = nullptr;
    QLineEdit* editName_ = nullptr;
    QToolButton* btnPayee_ = nullptr;
    QLineEdit* editDate_ = nullptr;
    QLineEdit* editAmount_ = nullptr;
    QComboBox* comboBank_ = nullptr;
    QTableView* grid_ = nullptr;
    LineGridModel* lineModel_ = nullptr;
    QToolButton* btnInvoices_ = nullptr;
    QToolButton* btnDeleteLine_ = nullptr;
    QLineEdit* editAccnt_[kSlots] = {};
    QLineEdit* editDist_[kSlots] = {};
    QLineEdit* editTotal_ = nullptr;
    QToolButton* btnAccnt_[kSlots] = {};
    forms::RecordNavigator* navigator_ = nullptr;
    QPushButton* btnQuickLink_ = nullptr;
    QPushButton* btnPrint_ = nullptr;
    QPushButton* btnQuit_ = nullptr;
    QPushButton* btnHelp_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    forms::MessageList* messages_ = nullptr;
    QString helpPath_;
};

} // namespace vm::chqedit
