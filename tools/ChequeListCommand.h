#pragma once
#include <string>
#include <vector>

namespace vm::admin {

// valmorand-admin cheque-list DIR N [options]: builds a new list of cheques to
// be issued on chqissue_core, exactly as the window does, and lists the
// entries. Returns the exit status (0 done, 1 failed, 2 refused).
int chequeListCommand(const std::vector<std::string>& args);

} // namespace vm::admin
