#pragma once
#include <QDialog>

#include <string>

class QKeyEvent;
class QLineEdit;

namespace vm::forms {
class MessageList;
}

namespace vm::firmnew {

// Asks the name of the first company and creates it, as company 1, in the
// data directory: its comp row and its directory with every company table.
class Tfirmnew_frm : public QDialog {
    Q_OBJECT
public:
    Tfirmnew_frm(std::string dataDir, QWidget* parent = nullptr);

    QString companyName() const;
    // F1 opens the window's help page from this folder.
    void setHelp(const QString& helpPath, int language);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void create();

    std::string dataDir_;
    QLineEdit* name_;
    forms::MessageList* messages_;
    QString helpPath_;
    int language_ = 1;
};

} // namespace vm::firmnew
