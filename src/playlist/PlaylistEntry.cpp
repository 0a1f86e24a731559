// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PlaylistEntry.h"

#include "library/GameEntry.h"

namespace tarvo {

std::string PlaylistEntry::GetLabel() const {
    if (!game || clip < 0) return {};
    return game->romName + ":" + FormatClipNumber(clip);
}

// A game never loaded here has no clip information at all: nothing is known
// to be blank, so a playlist shared from another machine keeps its entries.
bool PlaylistEntry::IsBlankEntry() const {
    return !game || clip < 0 || (game->clipInfo.HasInformation() && game->clipInfo.IsBlank(clip));
}

std::string PlaylistEntry::GetTitleText() const {
    if (IsBlankEntry()) return "-- blank --";
    const std::string title = game->clipInfo.GetTitle(clip);
    return title.empty() ? "Clip " + std::to_string(clip) : title;
}

} // namespace tarvo
