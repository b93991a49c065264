#pragma once
#include <QString>

namespace vm::forms {

// The caption of a journal window after the posting period was changed.
// `messageA` and `messageB` are the module's two caption messages,
// `ledgerPeriod` the period of the control table, `monthName` the
// Period_mth of the new period:
//   ledger period 0:      A + "0" + B + new
//   new period other than 0: A + new + " : " + month name
//   new period 0:         A + "0"
QString periodCaption(const QString& messageA, const QString& messageB, int ledgerPeriod, int newPeriod,
                      const QString& monthName);

} // namespace vm::forms
