// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tarvo {

// The folder Tarvo keeps its own files in, ending in "/": its own folder when
// it runs from a build or a portable copy (the sound core beside it) that can
// be written; otherwise, as an installed copy, the per-user data folder.
std::string FindProgramFolder(const std::string& executableFolder,
                              const std::string& userDataFolder);

// The folder of the running program as the file system names it (its bytes,
// whatever their encoding), ending in "/"; `fallback` when it cannot be read.
std::string ExecutableFolder(const std::string& fallback);

// A portable copy run from a folder it cannot write (a read-only medium)
// keeps its files in the per-user folder. The first time, that folder starts
// from the portable copy's settings and clip information, whose ROM folders
// (the "roms" folder beside the program among them) stay in its list.
void AdoptPortableFiles(const std::string& executableFolder, const std::string& programFolder);

// The first start of an installed copy: the demo games shipped in
// `shippedRoms` are copied into the program folder's own "roms" folder, so
// Tarvo plays at once. Nothing happens when that folder exists already.
void ProvideDemoGames(const std::string& programFolder, const std::string& shippedRoms);

} // namespace tarvo
