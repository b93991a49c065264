#pragma once
#include <QDialog>

#include <string>

namespace vm::components {

// The small modal box that tells the user a procedure has finished.
// Widgets: LabelMessage, BtnOK; the form name is TDoneBox.
class DoneBox : public QDialog {
public:
    DoneBox(bool english, const std::string& langCode, QWidget* parent = nullptr);
};

} // namespace vm::components
