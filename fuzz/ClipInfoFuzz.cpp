// SPDX-License-Identifier: GPL-3.0-or-later
// tarvoclips.dat and Import Clip Data: read, written back and read again,
// which gives the same ranges, marks and titles (a blank clip's title is not
// written, so it is not compared).
#include "FuzzGames.h"

#include <sstream>

namespace {

bool SameInformation(const tarvo::CClipInfo& a, const tarvo::CClipInfo& b) {
    if (a.firstClip != b.firstClip || a.lastClip != b.lastClip) return false;
    for (int clip = 0; clip <= a.lastClip; ++clip)
        if (a.IsBlank(clip) != b.IsBlank(clip) ||
            (!a.IsBlank(clip) && a.GetTitle(clip) != b.GetTitle(clip)))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tarvo::CROMList list;
    AddFuzzGames(list);
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    list.ReadClipInfo(in);
    std::ostringstream written;
    list.WriteClipInfoFile(written, tarvo::CROMList::Lines::WithUnsupported);

    tarvo::CROMList again;
    AddFuzzGames(again);
    std::istringstream back(written.str());
    again.ReadClipInfo(back);
    for (int game = 0; game < list.GetCount(); ++game)
        if (!SameInformation(list.GetEntry(game)->clipInfo, again.GetEntry(game)->clipInfo))
            __builtin_trap();
    return 0;
}
