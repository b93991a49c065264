#pragma once
#include "common/core/LinkSection.h"
#include "modules/custstmt/core/StatementMailing.h"

#include <QDialog>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace vm::forms {
class MessageList;
}

namespace vm::custstmt {

// "Account statements": the selection of the clients' statements, printed,
// previewed, exported or mailed. It writes nothing in the company's tables.
class StatementWindow : public QDialog {
    Q_OBJECT
public:
    explicit StatementWindow(core::TLinkSection& link, QWidget* parent = nullptr);
    ~StatementWindow() override;

    // The options as the controls stand; nullopt when the interest rate is
    // not a number (the rate then has the focus).
    std::optional<StatementOptions> options();
    StatementReportSetup reportSetup(const StatementOptions& o, bool email) const;
    // Mails the statements as the window is set, without asking anything;
    // the outcome of each client is in the result.
    MailingResult mail(bool printOthers);
    // The summary shown after a mailing run.
    QString mailSummary(const MailingResult& result) const;
    // The "Send Mail" window's status line when the last run ended.
    QString lastMailStatus() const { return lastMailStatus_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void startUp();
    void pick(QLineEdit* target, const char* library, const char* function);
    void runReport(int action); // 0 print, 1 preview, 2 export
    void runMailing();
    void setBusy(bool busy);
    QString message(int i, const QString& fallback) const;
    int statementPrinter() const;

    core::TLinkSection& link_;
    bool started_ = false;
    aging::AgingControl control_;
    std::vector<int> convertCurrencies_, printCurrencies_;
    QLineEdit* editFrom_ = nullptr;
    QLineEdit* editTo_ = nullptr;
    QLineEdit* editTerritory_ = nullptr;
    QLineEdit* editDate_ = nullptr;
    QLineEdit* editMinimum_ = nullptr;
    QLineEdit* editRate_ = nullptr;
    QComboBox* comboCurrency_ = nullptr;
    QComboBox* comboConvert_ = nullptr;
    QCheckBox* checkSubsequent_ = nullptr;
    QCheckBox* checkPrintDialog_ = nullptr;
    QLineEdit* editSubject_ = nullptr;
    QPlainTextEdit* editMessage_ = nullptr;
    std::vector<QPushButton*> buttons_;
    QStatusBar* statusBar_ = nullptr;
    forms::MessageList* messages_ = nullptr;
    QString lastMailStatus_;
};

// The body of ShowDllForm. Returns -1, the result of a module that ran.
std::int32_t runStatementModule(const core::TLinkSection& link);

} // namespace vm::custstmt
