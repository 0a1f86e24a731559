// SPDX-License-Identifier: GPL-3.0-or-later
// A game's zip archive as the core reads it.
#include "archive/RomArchive.h"
#include "FuzzFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tarvocore::CRomArchive archive;
    std::string error;
    if (archive.Open(WriteFuzzFile(data, size, "archive.zip"), error)) {
        size_t total = 0;
        for (const auto& member : archive.Members())
            total += member.data.size();
        if (total > tarvocore::CRomArchive::kMaxTotalSize) __builtin_trap();
    }
    return 0;
}
