// SPDX-License-Identifier: GPL-3.0-or-later
// The core's file of measured loudness.
#include "FuzzFile.h"
#include "playback/LoudnessTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tarvocore::CLoudnessTable table;
    table.Open(WriteFuzzFile(data, size, "loudness"));
    // What was read is what a player plays by: within the range a measure gives.
    for (int clip = 0; clip < 4; ++clip)
        if (const auto found = table.Find({"game", clip, 1});
            found && !(found->lufs >= -70 && found->lufs <= 20 && found->peak >= 0))
            __builtin_trap();
    return 0;
}
