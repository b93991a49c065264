#include "common/forms/DisplayFormat.h"

#include "common/core/DateTimeFormat.h"
#include "common/core/MoneyFormat.h"
#include "common/core/RegionalMasks.h"
#include "common/core/RegionalSettings.h"

namespace vm::forms {

using core::RegionalSettings;

QString DisplayFormat::money(Money m) {
    return QString::fromStdString(core::formatMoney(m, RegionalSettings::current()));
}

QString DisplayFormat::moneyForEdit(Money m) {
    QString text = QString::fromStdString(m.toString());
    return text.replace(QLatin1Char('.'), QLatin1Char(RegionalSettings::current().decimalSeparator));
}

std::optional<Money> DisplayFormat::parseMoney(const QString& text) {
    return core::parseMoney(text.toStdString(), RegionalSettings::current());
}

QString DisplayFormat::number(double value) {
    QString text = QString::number(value, 'g', 15);
    return text.replace(QLatin1Char('.'), QLatin1Char(RegionalSettings::current().decimalSeparator));
}

std::optional<double> DisplayFormat::parseNumber(const QString& text) {
    QString s = text.trimmed();
    s.replace(QLatin1Char(RegionalSettings::current().decimalSeparator), QLatin1Char('.'));
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = s.toDouble(&ok);
    if (!ok) return std::nullopt;
    return value;
}

QString DisplayFormat::date(Date d) {
    return QString::fromStdString(core::formatShortDate(d, RegionalSettings::current().dateFormat));
}

std::optional<Date> DisplayFormat::parseDate(const QString& text) {
    return core::parseShortDate(text.toStdString(), RegionalSettings::current().dateFormat);
}

QString DisplayFormat::dateInputMask() {
    return inputMaskOf(QString::fromStdString(core::dateEditMask(RegionalSettings::current().dateFormat)));
}

QString DisplayFormat::inputMaskOf(const QString& editMask) {
    QString mask = editMask.section(QLatin1Char(';'), 0, 0);
    if (mask.startsWith(QLatin1Char('!'))) mask.remove(0, 1);
    // The designed masks keep literals and show blanks as spaces.
    return mask + QStringLiteral("; ");
}

} // namespace vm::forms
