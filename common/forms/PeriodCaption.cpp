#include "common/forms/PeriodCaption.h"

namespace vm::forms {

QString periodCaption(const QString& messageA, const QString& messageB, int ledgerPeriod, int newPeriod,
                      const QString& monthName) {
    if (ledgerPeriod == 0) return messageA + QStringLiteral("0") + messageB + QString::number(newPeriod);
    if (newPeriod != 0) return messageA + QString::number(newPeriod) + QStringLiteral(" : ") + monthName;
    return messageA + QStringLiteral("0");
}

} // namespace vm::forms
