#pragma once
#include "packaging/launcher/FirstStart.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProcess;
class QProgressDialog;
class QPushButton;
class QRadioButton;

namespace vm::forms {
class MessageList;
}

namespace vm::launcher {

// The first start of Valmorand on a workstation: where the data will lie,
// and whether it starts empty (the new-company window follows) or with the
// demo company. Create runs valmorand-admin, with a progress box that can
// cancel it, then stores the settings; Cancel stores nothing.
class TFirstStartDlg : public QDialog {
    Q_OBJECT
public:
    TFirstStartDlg(const FirstStart& start, int language, QWidget* parent = nullptr);

    QString dataDrive() const;
    void setDataDrive(const QString& drive);
    void chooseDemo(bool demo);
    // Creates and stores; true when done (the dialog is then accepted).
    bool create();
    // The last failure, as shown to the user.
    const QString& failure() const { return failure_; }

private:
    bool run(const QStringList& arguments);
    void showHelp();

    const FirstStart& start_;
    int language_;
    QString failure_;
    QLabel* intro_;
    QLineEdit* drive_;
    QRadioButton* empty_;
    QRadioButton* demo_;
    QPushButton* create_;
    forms::MessageList* messages_;
};

} // namespace vm::launcher
