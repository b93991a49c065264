#pragma once
#include <QDialog>

class QLabel;

namespace vm::shell {

// The About box: the product, its version and the data directory, which
// opens in the file browser when clicked.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    void setDataDirectory(const QString& dir);
    void setVersion(const QString& version);

private:
    QLabel* version_;
    QLabel* dataDir_;
    QString dir_;
};

} // namespace vm::shell
