#pragma once
#include <QWidget>

#include <string>

class QLabel;
class QProgressBar;

namespace vm::forms {
class MessageList;
}

namespace vm::components {

// The small window the shell shows while it starts: a caption line and a
// progress bar. Not modal: start-up goes on underneath, and every change
// repaints at once because the shell's event loop is not running yet.
// The caption texts are the lines of the hidden list LabelCaption, which the
// language table fills; form TProgressBox.
class ProgressBox : public QWidget {
public:
    // Texts of the language `langCode` ("en", "fr"), English or French
    // designed texts where the language table has none.
    ProgressBox(bool english, const std::string& langCode, QWidget* parent = nullptr);

    // Caption 0 while the program loads, 1 while it opens the company.
    // Returns false for any other number (the caption is left as it is).
    bool setCaptionNumber(int number);
    // One step further; the bar grows when the steps outrun it.
    void step();
    int value() const;
    QString captionText() const;

private:
    void repaintNow();

    forms::MessageList* captions_ = nullptr;
    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
};

} // namespace vm::components
