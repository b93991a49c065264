#include "common/forms/FieldBinder.h"

#include "common/forms/DisplayFormat.h"
#include "common/forms/RecordNavigator.h"
#include "common/forms/SharedTexts.h"
#include "engine/Cursor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTimer>

#include <limits>
#include <optional>

namespace vm::forms {

struct FieldBinder::Binding {
    enum Kind { Line, Memo, Check, ComboIndex, ComboText, Spin };
    Kind kind = Line;
    QPointer<QWidget> widget;
    int field = -1;
    FieldType type = FieldType::Text;
    QString name;
    int offset = 0;
    bool invalid = false;  // the text typed does not read as the field's type
    bool refusing = false; // a refusal message is pending
};

namespace {

// A number the program puts into a field of any kind (a combo position, a
// spin box value): text fields get its decimal text.
Value numberFor(FieldType t, std::int64_t n) {
    switch (t) {
    case FieldType::Text:
    case FieldType::Memo:
        return Value(std::to_string(n));
    case FieldType::Float:
        return Value(static_cast<double>(n));
    case FieldType::Money:
        return Value(Money::fromUnits(n));
    case FieldType::Boolean:
        return Value(n != 0);
    default:
        return Value(n);
    }
}

QString textFor(const Value& v, FieldType t, bool forEdit) {
    if (v.isNull()) return {};
    switch (t) {
    case FieldType::Money:
        return forEdit ? DisplayFormat::moneyForEdit(v.asMoney()) : DisplayFormat::money(v.asMoney());
    case FieldType::Date:
        return DisplayFormat::date(v.asDate());
    case FieldType::Float:
        return DisplayFormat::number(v.asDouble());
    case FieldType::Boolean:
        return v.asBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return QString::fromStdString(v.asString());
    }
}

// The value of typed text, or nothing when it does not read as the type.
std::optional<Value> valueOf(const QString& text, FieldType t) {
    const QString s = text.trimmed();
    switch (t) {
    case FieldType::Text:
    case FieldType::Memo:
        return text.isEmpty() ? Value() : Value(text.toStdString());
    case FieldType::Int16:
    case FieldType::Int32:
    case FieldType::AutoInc: {
        if (s.isEmpty()) return Value();
        bool ok = false;
        const qlonglong n = s.toLongLong(&ok);
        const qlonglong lo = t == FieldType::Int16 ? -32768 : std::numeric_limits<std::int32_t>::min();
        const qlonglong hi = t == FieldType::Int16 ? 32767 : std::numeric_limits<std::int32_t>::max();
        if (!ok || n < lo || n > hi) return std::nullopt;
        return Value(static_cast<std::int64_t>(n));
    }
    case FieldType::Float: {
        if (s.isEmpty()) return Value();
        const std::optional<double> d = DisplayFormat::parseNumber(s);
        if (!d) return std::nullopt;
        return Value(*d);
    }
    case FieldType::Money: {
        if (s.isEmpty()) return Value();
        auto m = DisplayFormat::parseMoney(s);
        if (!m) return std::nullopt;
        return Value(*m);
    }
    case FieldType::Date: {
        auto d = DisplayFormat::parseDate(text);
        if (!d) return std::nullopt;
        return Value(*d);
    }
    case FieldType::DateTime: {
        if (s.isEmpty()) return Value();
        auto d = DateTime::fromIso(s.toStdString());
        if (!d) return std::nullopt;
        return Value(*d);
    }
    case FieldType::Time: {
        if (s.isEmpty()) return Value();
        auto d = Time::fromIso(s.toStdString());
        if (!d) return std::nullopt;
        return Value(*d);
    }
    case FieldType::Boolean: {
        if (s.isEmpty()) return Value();
        const QString l = s.toLower();
        if (l == QLatin1String("true") || l == QLatin1String("1") || l == QLatin1String("y"))
            return Value(true);
        if (l == QLatin1String("false") || l == QLatin1String("0") || l == QLatin1String("n"))
            return Value(false);
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

FieldBinder::FieldBinder(Cursor& cursor, QObject* parent) : QObject(parent), cursor_(cursor) {
    listenerId_ = cursor_.addMoveListener([this] { load(); });
}

FieldBinder::~FieldBinder() {
    cursor_.removeMoveListener(listenerId_);
}

FieldBinder::Binding& FieldBinder::add(QWidget* w, const std::string& field) {
    auto b = std::make_unique<Binding>();
    b->widget = w;
    b->field = cursor_.fieldIndex(field);
    b->type = cursor_.def().fields[static_cast<std::size_t>(b->field)].type;
    b->name = QString::fromStdString(cursor_.def().fields[static_cast<std::size_t>(b->field)].name);
    bindings_.push_back(std::move(b));
    return *bindings_.back();
}

void FieldBinder::bindText(QLineEdit* edit, const std::string& field) {
    Binding& b = add(edit, field);
    b.kind = Binding::Line;
    if (b.type == FieldType::Date) edit->setInputMask(DisplayFormat::dateInputMask());
    if (b.type == FieldType::Text) {
        const int size = cursor_.def().fields[static_cast<std::size_t>(b.field)].size;
        if (size > 0) edit->setMaxLength(size);
    }
    if (b.type == FieldType::AutoInc) edit->setReadOnly(true); // the engine numbers the row
    if (b.type == FieldType::Money) edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter); // amounts line up
    connect(edit, &QLineEdit::textEdited, this, [this, &b](const QString& text) { textEdited(b, text); });
    edit->installEventFilter(this);
    loadOne(b);
}

void FieldBinder::bindDate(QLineEdit* edit, const std::string& field) {
    bindText(edit, field);
    edit->setInputMask(DisplayFormat::dateInputMask());
    loadOne(*bindings_.back());
}

void FieldBinder::bindMemo(QPlainTextEdit* memo, const std::string& field) {
    Binding& b = add(memo, field);
    b.kind = Binding::Memo;
    connect(memo, &QPlainTextEdit::textChanged, this, [this, &b, memo] {
        if (!loading_) write(b, valueOf(memo->toPlainText(), FieldType::Memo).value_or(Value()));
    });
    loadOne(b);
}

void FieldBinder::bindCheck(QCheckBox* box, const std::string& field) {
    Binding& b = add(box, field);
    b.kind = Binding::Check;
    connect(box, &QCheckBox::clicked, this, [this, &b, box](bool checked) {
        if (!write(b, numberFor(b.type, checked ? 1 : 0))) {
            QSignalBlocker block(box);
            box->setChecked(!checked); // the row was not changed: show what it holds
        }
    });
    loadOne(b);
}

void FieldBinder::bindComboIndex(QComboBox* combo, const std::string& field, int offset) {
    Binding& b = add(combo, field);
    b.kind = Binding::ComboIndex;
    b.offset = offset;
    connect(combo, &QComboBox::activated, this, [this, &b](int index) {
        if (!write(b, numberFor(b.type, index + b.offset))) loadOne(b);
    });
    loadOne(b);
}

void FieldBinder::bindComboText(QComboBox* combo, const std::string& field) {
    Binding& b = add(combo, field);
    b.kind = Binding::ComboText;
    connect(combo, &QComboBox::activated, this, [this, &b, combo](int index) {
        if (!write(b, valueOf(combo->itemText(index), FieldType::Text).value_or(Value()))) loadOne(b);
    });
    loadOne(b);
}

void FieldBinder::bindSpin(QSpinBox* spin, const std::string& field) {
    Binding& b = add(spin, field);
    b.kind = Binding::Spin;
    connect(spin, &QSpinBox::valueChanged, this, [this, &b](int value) {
        if (!loading_ && !write(b, numberFor(b.type, value))) loadOne(b);
    });
    loadOne(b);
}

void FieldBinder::follow(RecordNavigator* navigator) {
    connect(navigator, &RecordNavigator::afterAction, this, &FieldBinder::load);
}

void FieldBinder::load() {
    for (auto& b : bindings_)
        loadOne(*b);
}

void FieldBinder::loadOne(Binding& b) {
    if (!b.widget) return;
    const bool noRow = cursor_.state() == Cursor::State::Browse && !cursor_.hasRow();
    const Value v = noRow ? Value() : cursor_.value(b.field);
    loading_ = true;
    b.invalid = false;
    switch (b.kind) {
    case Binding::Line: {
        auto* e = static_cast<QLineEdit*>(b.widget.data());
        e->setText(textFor(v, b.type, e->hasFocus()));
        break;
    }
    case Binding::Memo: {
        auto* m = static_cast<QPlainTextEdit*>(b.widget.data());
        const QString text = QString::fromStdString(v.asString());
        if (m->toPlainText() != text) m->setPlainText(text);
        break;
    }
    case Binding::Check:
        static_cast<QCheckBox*>(b.widget.data())
            ->setChecked(b.type == FieldType::Boolean ? v.asBool() : v.asInt() != 0);
        break;
    case Binding::ComboIndex: {
        auto* c = static_cast<QComboBox*>(b.widget.data());
        const std::int64_t i = v.isNull() ? -1 : v.asInt() - b.offset;
        c->setCurrentIndex(i >= 0 && i < c->count() ? static_cast<int>(i) : -1);
        break;
    }
    case Binding::ComboText: {
        auto* c = static_cast<QComboBox*>(b.widget.data());
        const QString text = QString::fromStdString(v.asString());
        const int i = c->findText(text);
        c->setCurrentIndex(i);
        if (c->isEditable()) c->setEditText(text);
        break;
    }
    case Binding::Spin:
        static_cast<QSpinBox*>(b.widget.data())->setValue(static_cast<int>(v.asInt()));
        break;
    }
    loading_ = false;
}

bool FieldBinder::write(Binding& b, const Value& v) {
    if (cursor_.state() == Cursor::State::Browse) {
        if (autoEdit_) autoEdit_();
        if (cursor_.state() == Cursor::State::Browse) return false;
    }
    cursor_.set(b.field, v);
    emit fieldWritten(b.name);
    return true;
}

void FieldBinder::textEdited(Binding& b, const QString& text) {
    auto* e = static_cast<QLineEdit*>(b.widget.data());
    std::optional<Value> v = valueOf(text, b.type);
    b.invalid = !v;
    if (!v) return;
    const int caret = e->cursorPosition();
    if (write(b, *v) && e->text() != text) {
        // Starting the edit may have reloaded the controls; keep what was typed.
        QSignalBlocker block(e);
        e->setText(text);
        e->setCursorPosition(caret);
    }
}

bool FieldBinder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut) return false;
    for (auto& bp : bindings_) {
        Binding& b = *bp;
        if (b.widget != watched || b.kind != Binding::Line) continue;
        auto* e = static_cast<QLineEdit*>(b.widget.data());
        if (event->type() == QEvent::FocusIn) {
            // Amounts are edited as plain digits, shown with the currency.
            if (b.type == FieldType::Money && !b.invalid) {
                const bool noRow = cursor_.state() == Cursor::State::Browse && !cursor_.hasRow();
                e->setText(textFor(noRow ? Value() : cursor_.value(b.field), b.type, true));
            }
        } else if (b.invalid) {
            refuse(b);
        } else if (b.type == FieldType::Money) {
            loadOne(b);
        }
    }
    return false;
}

void FieldBinder::refuse(Binding& b) {
    if (b.refusing) return;
    b.refusing = true;
    // After the focus change is complete, so that the message box and the
    // return of the focus do not fight with it.
    QTimer::singleShot(0, this, [this, &b] {
        b.refusing = false;
        if (!b.widget) return;
        auto* e = static_cast<QLineEdit*>(b.widget.data());
        const QString text = e->text().trimmed();
        const QString message = sharedText(language_, QStringLiteral("FieldBinder"), 0,
                                           QStringLiteral("'%1' is not a valid value for this field."))
                                    .arg(text);
        QMessageBox::information(e->window(), e->window()->windowTitle(), message, QMessageBox::Ok);
        e->setFocus();
        e->selectAll();
    });
}

} // namespace vm::forms
