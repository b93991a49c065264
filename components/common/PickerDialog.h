#pragma once
#include "components/common/PickerDefinition.h"
// TableDef.h first: its FieldType::Bytes would otherwise shadow vm::Bytes.
#include "engine/TableDef.h"
#include "engine/Value.h"

#include <QDialog>

#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace vm {
class Database;
}

namespace vm::components {

class PickerModel;

// The modal list every picker shows: a search box on top, the matching rows
// below, OK and Cancel. Typing filters the rows; Enter or a double-click
// chooses the current row; Escape cancels. Up, Down, Page Up and Page Down
// in the search box move through the rows without leaving it.
//
// Widget names are the component names of the language tables: LabelSearch,
// EditSearch, Grid, BtnOK, BtnCancel; the dialog's own name is the form name.
class PickerDialog : public QDialog {
public:
    // Texts follow `language` (1 English, anything else French), then the
    // rows of the language table MainMenu<langCode> where it has them.
    // Throws EngineError when the table cannot be read.
    PickerDialog(Database& db, const PickerDefinition& definition, int language, const std::string& langCode,
                 QWidget* parent = nullptr);
    ~PickerDialog() override;

    // The key of the chosen row, once accepted.
    const std::optional<Value>& chosenKey() const { return chosen_; }
    PickerModel& model() { return *model_; }

    void accept() override;

private:
    void applySearch(const QString& text);
    void sizeColumns();

    PickerModel* model_ = nullptr;
    QLabel* label_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QTableView* grid_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::optional<Value> chosen_;
};

} // namespace vm::components
