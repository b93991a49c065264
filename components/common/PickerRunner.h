#pragma once
#include "components/common/PickerDefinition.h"
#include "components/common/SessionContext.h"
// TableDef.h first: its FieldType::Bytes would otherwise shadow vm::Bytes.
#include "engine/TableDef.h"
#include "engine/Value.h"

#include <optional>

class QWidget;

namespace vm::components {

// The window a component's dialog should be modal to: the active modal
// window (the calling module's form) or else the active window.
QWidget* callerWindow();

// Shows the picker of `definition` over the session's company (or the data root
// for a shared table), modal to the caller's window, and returns the key of
// the chosen row. Returns nothing when the user cancels, and also when the
// table cannot be opened, after telling the user so. Never throws: it runs
// behind a C entry point. Opens its own engine session, read-only, closed on
// return, so no database or lock outlives the call.
std::optional<Value> runPicker(const PickerDefinition& definition, const SessionContext& session) noexcept;

} // namespace vm::components
