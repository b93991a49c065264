#pragma once
#include "common/journal/ControlAccounts.h"

namespace vm::cashrcpt {

using ControlAccounts = journal::ControlAccounts;

} // namespace vm::cashrcpt
