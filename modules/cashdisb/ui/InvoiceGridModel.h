#pragma once
#include "common/forms/InvoiceGridModel.h"

namespace vm::cashdisb {

// The open-invoice grid is the one the receipt and disbursement windows share.
using InvoiceGridModel = forms::InvoiceGridModel;

} // namespace vm::cashdisb
