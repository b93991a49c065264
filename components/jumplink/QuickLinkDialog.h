#pragma once
#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QTableWidget;

namespace vm::components {

// The "Quick Link" window: the options of this system with their ledger,
// filtered by what is typed in the search box. Choosing one (Enter,
// double-click or the start button) starts it while this window stays open
// beneath it, so that the started option sees a quick link already open;
// the window closes when the option returns. Widgets: LabelSearch,
// EditSearch, Grid, BtnOK, BtnCancel; form TQuickLink.
class QuickLinkDialog : public QDialog {
public:
    // Starts the option with this module code and waits for it to end;
    // returns the message to show when it could not be started, else "".
    using Launcher = std::function<QString(const std::string& code)>;

    QuickLinkDialog(bool english, const std::string& langCode, Launcher launch, QWidget* parent = nullptr);

    // Starts the current option.
    void accept() override;

private:
    void applySearch(const QString& text);

    Launcher launch_;
    QLineEdit* edit_ = nullptr;
    QTableWidget* grid_ = nullptr;
    // Parallel to the rows, so that the texts may come from a language table.
    std::vector<std::string> codes_;
    bool running_ = false;
};

} // namespace vm::components
