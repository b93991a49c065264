#pragma once
#include "common/core/LinkSection.h"
#include "modules/chqissue/core/ChequeList.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStatusBar;

namespace vm::forms {
class MessageList;
}
namespace vm::report {
struct ReportDocument;
}

namespace vm::chqissue {

// "List of cheques to be issued": builds a new list of cheque entries when
// asked, then prints, previews or exports the list as it stands.
class Tchqissue_frm : public QDialog {
    Q_OBJECT
public:
    explicit Tchqissue_frm(core::TLinkSection& link, QWidget* parent = nullptr);
    ~Tchqissue_frm() override;

    // The new list's choices as the controls stand (dates parsed in the
    // session's format; blank when they do not parse).
    ListRequest request() const;
    // Builds the new list when "Do you wish to create a new list" is ticked;
    // false when it was refused (the user was told, nothing changed).
    bool buildListIfAsked();
    // Lays the report out over the entries, as Print, Preview and Export do.
    report::ReportDocument layOut();
    void setPrintDateTime(DateTime when) { printedAt_ = when; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void startUp();
    void pick(QLineEdit* target);
    void addSupplier();
    void newListToggled(bool on);
    void runReport(int action); // 0 print, 1 preview, 2 export
    void setBusy(bool busy);
    QString message(int i, const QString& fallback) const;

    core::TLinkSection& link_;
    bool started_ = false;
    DateTime printedAt_;
    std::vector<ChequeBank> banks_;
    QString reportTitle_;

    QLineEdit* editPrintDate_ = nullptr;
    QLineEdit* editDueDate_ = nullptr;
    QComboBox* comboBank_ = nullptr;
    QLineEdit* editFrom_ = nullptr;
    QLineEdit* editTo_ = nullptr;
    QListWidget* listSuppliers_ = nullptr;
    QCheckBox* checkNewList_ = nullptr;
    QCheckBox* checkPrintDialog_ = nullptr;
    QCheckBox* checkRecurring_ = nullptr;
    std::vector<QPushButton*> buttons_;
    QStatusBar* statusBar_ = nullptr;
    forms::MessageList* messages_ = nullptr;
};

} // namespace vm::chqissue
