#pragma once

#include <string>

namespace tarvo {

// The folder Tarvo keeps its own files in, ending in "/": its own folder when
// it runs from a build or a portable copy (the sound core beside it) that can
// be written; otherwise, as an installed copy, the per-user data folder.
std::string FindProgramFolder(const std::string& executableFolder,
                              const std::string& userDataFolder);

// The first start of an installed copy: the demo games shipped in
// `shippedRoms` are copied into the program folder's own "roms" folder, so
// Tarvo plays at once. Nothing happens when that folder exists already.
void ProvideDemoGames(const std::string& programFolder, const std::string& shippedRoms);

} // namespace tarvo
