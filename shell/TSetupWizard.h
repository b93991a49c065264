#pragma once
#include "shell/core/CompanyDefaultsWizard.h"

#include <QDialog>

#include <string>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace vm::core {
class SettingsStore;
}
namespace vm::forms {
class MessageList;
}

namespace vm::shell {

// The company defaults wizard shown after the first company is created:
// where the business is, its sales-tax rates, the date format and the
// currency presentation. Close stores them into the company's control row
// and the workstation's regional settings; any other way out stores
// nothing.
class TSetupWizard : public QDialog {
    Q_OBJECT
public:
    TSetupWizard(int language, QWidget* parent = nullptr);

    // The company directory and settings Close stores into.
    void setTarget(const std::string& companyDir, const core::SettingsStore* settings);
    void restart();

    CompanyDefaultsWizard& rules() { return rules_; }
    int currentPage() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makePage(const char* name);
    QPushButton* makeButton(QWidget* page, const char* name, const QString& text);
    void readPage();
    void showPage();
    void next();
    void back();
    void closeAndStore();

    CompanyDefaultsWizard rules_;
    std::string companyDir_;
    const core::SettingsStore* settings_ = nullptr;

    QStackedWidget* pages_;
    forms::MessageList* strings_;
    QPlainTextEdit* intro_;
    QGroupBox* location_;
    QRadioButton* inCanada_;
    QRadioButton* outside_;
    QComboBox* province_;
    QComboBox* dateFormat_;
    QGroupBox* taxes_;
    QLabel* rateLabel_[3];
    QLineEdit* rate_[3];
    QLineEdit* symbol_;
    QComboBox* align_;
    QLineEdit* dollars_;
    QLineEdit* cents_;
};

} // namespace vm::shell
