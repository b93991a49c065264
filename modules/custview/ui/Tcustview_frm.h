#pragma once
#include "common/core/LinkSection.h"
#include "engine/Value.h"
#include "modules/custview/core/DocumentChoice.h"
#include "modules/custview/core/DocumentReports.h"

#include <QDialog>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTableView;

namespace vm {
class Cursor;
class Database;
} // namespace vm
namespace vm::forms {
class MessageList;
class QueryTableModel;
} // namespace vm::forms

namespace vm::custview {

class AgingChart;
class StatementModel;

// "Display of clients": the searchable client list, the client's record,
// its statement with the running balance, the document behind a
// transaction and the aging of its balance. Reads the company; writes only
// the session's work table.
class Tcustview_frm : public QDialog {
    Q_OBJECT
public:
    explicit Tcustview_frm(core::TLinkSection& link, QWidget* parent = nullptr);
    ~Tcustview_frm() override;

    // Runs the search bar's search (the refresh button).
    void refreshList();
    // The current client's code ("" when the list is empty).
    QString currentClient() const { return client_; }
    // Opens the document behind the statement's row `row` in a preview (the
    // dialog "DocumentPreview"), or tells that there is none; returns the
    // document shown.
    DocumentChoice drillDown(int row);
    // What the printed documents need from the session.
    DocumentSetup documentSetup(const QString& title) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();
    QWidget* buildListPage();
    QWidget* buildGeneralPage();
    QWidget* buildControlPage();
    QWidget* buildCommentsPage();
    QWidget* buildStatementPage();
    QWidget* buildGraphPage();
    bool startUp();
    void applyTerminology();
    void clientMoved();
    void showClient();
    void refreshStatement();
    void refreshGraph();
    void printGraph();
    void pageChanged();
    void showMessage(int line, const QString& arg = {});
    QString message(int line) const;
    Database& db();

    core::TLinkSection& link_;
    bool started_ = false;
    bool historyKept_ = false;
    QString client_;
    std::string listSql_;
    std::vector<Value> listParams_;
    std::string statementSql_;
    std::unique_ptr<Cursor> ctrl_;
    std::unique_ptr<Cursor> cli_;

    QComboBox* comboField_ = nullptr;
    QComboBox* comboOperator_ = nullptr;
    QLineEdit* editParameter_ = nullptr;
    QPushButton* btnRefresh_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QWidget* tabList_ = nullptr;
    QWidget* tabStatement_ = nullptr;
    QWidget* tabGraph_ = nullptr;
    QTableView* gridClients_ = nullptr;
    QTableView* gridStatement_ = nullptr;
    forms::QueryTableModel* listModel_ = nullptr;
    forms::QueryTableModel* statementRows_ = nullptr;
    StatementModel* statementModel_ = nullptr;
    QPushButton* btnDetail_ = nullptr;
    AgingChart* chart_ = nullptr;
    std::vector<QLabel*> bucketLabels_;
    QCheckBox* checkPrintDialog_ = nullptr;
    QCheckBox* checkCurrent_ = nullptr;
    QComboBox* comboPriceList_ = nullptr;
    QComboBox* comboCurrency_ = nullptr;
    QPlainTextEdit* memoComments_ = nullptr;
    std::vector<std::pair<QLineEdit*, std::string>> fieldEdits_;
    std::vector<std::pair<QCheckBox*, std::string>> fieldChecks_;
    QStatusBar* statusBar_ = nullptr;
    forms::MessageList* messages_ = nullptr;
};

} // namespace vm::custview
