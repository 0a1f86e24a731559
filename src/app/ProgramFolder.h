#pragma once

#include <string>

namespace tarvo {

// The folder Tarvo keeps its own files in, ending in "/": the program's own
// folder, or the per-user data folder when that one cannot be written.
std::string FindProgramFolder(const std::string& executableFolder,
                              const std::string& userDataFolder);

} // namespace tarvo
