// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/add/Collection.h"

#include <filesystem>
#include <functional>
#include <string>

namespace tarvoadd {

// Reads a found game and hands it to `take` in parts, each within what the
// core reads of one archive (members and bytes), each let go before the
// next is read.
void ReadGame(SourceGame found, const std::function<void(const SourceGame& part)>& take);

// A file of at most the core's size limit, whole; false with why not.
bool ReadSmallFile(const std::filesystem::path& path, tarvocore::Bytes& data, std::string& problem);

} // namespace tarvoadd
