#pragma once
#include <QString>

#include <functional>

class QWidget;

namespace vm::test {

// Answers the modal windows a flow opens, in the order they appear: each
// queued handler gets the next modal window (a dialog, a message box). A
// modal window that no handler is waiting for is rejected after a few
// seconds and counted, so that a test never hangs on an unexpected dialog.
class ModalAnswers {
public:
    static void expect(std::function<void(QWidget&)> handler);
    // Handlers not used yet, and modal windows nobody answered; both are
    // reset.
    static int pending();
    static int unexpected();
    static void reset();
};

// Common answers.
void clickButton(QWidget& window, const char* objectName);
void typeInto(QWidget& window, const char* objectName, const QString& text);
QString messageText(QWidget& box); // a QMessageBox's text
void acceptMessage(QWidget& box, QString* text = nullptr);

} // namespace vm::test
