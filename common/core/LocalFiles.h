#pragma once
#include <string>

namespace vm::core {

// The folder for a data location's own files beside its tables (the
// statements' mailing log, the list naming their logo): the directory
// itself, or, for a company on a PostgreSQL server, which holds tables only,
// a folder of this workstation's user ($XDG_DATA_HOME or ~/.local/share,
// then Valmorand/server-<hash of the server's address>/<schema>), made when
// missing.
std::string localFilesDir(const std::string& location);

} // namespace vm::core
