#pragma once
#include <QDialog>

#include <string>

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

private:
    void create();

    std::string dataDir_;
    QLineEdit* name_;
    forms::MessageList* messages_;
};

} // namespace vm::firmnew
