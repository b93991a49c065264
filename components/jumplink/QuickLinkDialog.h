#pragma once
#include "common/core/ModuleLoader.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QTableWidget;

namespace vm::forms {
class MessageList;
}

namespace vm::components {

// The "Quick Link" window: the options of this system with their ledger,
// filtered by what is typed in the search box. Choosing one (Enter,
// double-click or the start button) starts it while this window stays open
// beneath it, so that the started option sees a quick link already open;
// the window closes when the option returns. An option that is running
// already (the window the quick link was called from, or one beneath it) is
// refused: it would share that run's session and work tables. Widgets:
// LabelSearch, EditSearch, Grid, BtnOK, BtnCancel, messages IntlStrings1;
// form TQuickLink.
class QuickLinkDialog : public QDialog {
public:
    // Starts the option with this module code and waits for it to end.
    using Launcher = std::function<core::ModuleRun(const std::string& code)>;

    QuickLinkDialog(bool english, const std::string& langCode, Launcher launch, QWidget* parent = nullptr);

    // Starts the current option.
    void accept() override;

    // What the user is told when an option did not run; "" when it did.
    QString failureText(const std::string& code, const core::ModuleRun& run) const;

private:
    void applySearch(const QString& text);

    Launcher launch_;
    QLineEdit* edit_ = nullptr;
    QTableWidget* grid_ = nullptr;
    forms::MessageList* messages_ = nullptr;
    // Parallel to the rows, so that the texts may come from a language table.
    std::vector<std::string> codes_;
    bool running_ = false;
};

} // namespace vm::components
