#include "common/forms/GridCell.h"

#include "common/forms/DisplayFormat.h"

namespace vm::forms {

QVariant gridDisplay(const Value& v, FieldType type) {
    if (v.isNull()) return QString();
    switch (type) {
    case FieldType::Money:
        return DisplayFormat::money(v.asMoney());
    case FieldType::Date:
        return DisplayFormat::date(v.asDate());
    case FieldType::Float:
        return DisplayFormat::number(v.asDouble());
    case FieldType::Boolean:
        return v.asBool() ? QStringLiteral("\u2713") : QString();
    case FieldType::Blob:
    case FieldType::Bytes:
        return QStringLiteral("(binary)");
    default:
        return QString::fromStdString(v.asString());
    }
}

QVariant gridAlignment(FieldType type) {
    switch (type) {
    case FieldType::Int16:
    case FieldType::Int32:
    case FieldType::AutoInc:
    case FieldType::Float:
    case FieldType::Money:
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case FieldType::Boolean:
        return QVariant(Qt::AlignCenter);
    default:
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
}

FieldType typeOfValue(const Value& v) {
    const auto& s = v.storage();
    if (std::holds_alternative<std::int64_t>(s)) return FieldType::Int32;
    if (std::holds_alternative<double>(s)) return FieldType::Float;
    if (std::holds_alternative<Money>(s)) return FieldType::Money;
    if (std::holds_alternative<Date>(s)) return FieldType::Date;
    if (std::holds_alternative<DateTime>(s)) return FieldType::DateTime;
    if (std::holds_alternative<Time>(s)) return FieldType::Time;
    if (std::holds_alternative<bool>(s)) return FieldType::Boolean;
    if (std::holds_alternative<Bytes>(s)) return FieldType::Blob;
    return FieldType::Text;
}

} // namespace vm::forms
