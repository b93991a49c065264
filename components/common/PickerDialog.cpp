#include "components/common/PickerDialog.h"

#include "components/common/FormTexts.h"
#include "components/common/PickerModel.h"
#include "components/common/SearchKeyForwarder.h"
#include "engine/EngineError.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace vm::components {

PickerDialog::PickerDialog(Database& db, const PickerDefinition& definition, int language,
                           const std::string& langCode, QWidget* parent)
    : QDialog(parent) {
    const bool english = language == 1;
    setObjectName(QString::fromStdString(definition.formName));
    setWindowTitle(english ? definition.englishCaption : definition.frenchCaption);
    setModal(true);

    model_ = new PickerModel(db, definition, 100, this);
    model_->setFallbackTitles(language);

    label_ = new QLabel(english ? QStringLiteral("Search:") : QStringLiteral(u"Rechercher\u00a0: "), this);
    label_->setObjectName(QStringLiteral("LabelSearch"));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("EditSearch"));
    edit_->setClearButtonEnabled(true);
    edit_->setToolTip(english ? QStringLiteral("Type the beginning of a code or part of a name")
                              : QStringLiteral("Tapez le début d'un code ou une partie d'un nom"));
    label_->setBuddy(edit_);

    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("Grid"));
    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setAlternatingRowColors(true);
    grid_->setTabKeyNavigation(false);
    grid_->setWordWrap(false);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    new SearchKeyForwarder(*edit_, *grid_);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("BtnOK"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(english ? QStringLiteral("Cancel") : QStringLiteral("Annuler"), this);
    cancel_->setObjectName(QStringLiteral("BtnCancel"));
    cancel_->setAutoDefault(false);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(label_);
    searchRow->addWidget(edit_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);

    connect(edit_, &QLineEdit::textChanged, this, [this](const QString& text) { applySearch(text); });
    connect(grid_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) { accept(); });
    connect(ok_, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });

    translateForm(*this, langCode);

    model_->setSearch(QString()); // may throw: the caller reports the table
    grid_->selectRow(0);
    sizeColumns();
    edit_->setFocus();
}

PickerDialog::~PickerDialog() = default;

void PickerDialog::applySearch(const QString& text) {
    try {
        model_->setSearch(text);
    } catch (const EngineError&) {
        // The list stays empty; the search box remains usable.
    }
    if (model_->rowCount() > 0) grid_->selectRow(0);
}

void PickerDialog::sizeColumns() {
    const auto& columns = model_->definition().columns;
    const int charWidth = grid_->fontMetrics().averageCharWidth();
    int total = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int width = columns[i].widthChars * charWidth + 16;
        grid_->setColumnWidth(static_cast<int>(i), width);
        total += width;
    }
    const int width = std::clamp(total + 40, 360, 900);
    resize(width, 440);
}

void PickerDialog::accept() {
    const QModelIndex current = grid_->currentIndex();
    if (!current.isValid() || current.row() >= model_->rowCount()) {
        QApplication::beep();
        return;
    }
    chosen_ = model_->keyAt(current.row());
    QDialog::accept();
}

} // namespace vm::components
