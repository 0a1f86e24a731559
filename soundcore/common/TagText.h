// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/MusicInfo.h"

#include <string>
#include <string_view>

namespace tarvocore {

// How a format writes text that is not UTF-8: SID headers and libgme's
// renderings of other tags in Latin-1, SPC's ID666 tags in Shift-JIS.
enum class TagEncoding { Latin1, ShiftJis };

// The one rule for every text that comes from a music file (titles, game
// names, makers, authors, years) before Tarvo stores, shows or writes it:
// valid UTF-8 whatever the file's encoding (bytes that cannot be read become
// U+FFFD), control characters and line breaks turned into spaces, no blanks
// at either end, and at most kMaxTagCharacters characters. A line feed in a
// tag can then never become a line of a file Tarvo writes.
std::string CleanTagText(std::string_view raw, TagEncoding encoding = TagEncoding::Latin1);
constexpr size_t kMaxTagCharacters = 255;

bool IsValidUtf8(std::string_view text);

// A copyright field that holds only a date ("1999-10-29T16:35:36Z",
// "1991/05/03", "29.10.1999"): it names a year and no maker.
bool IsDateText(const std::string& text);

// The tags of a VGM's GD3 block, read from its UTF-16 text (English first,
// else Japanese); empty fields where the file has none.
struct Gd3Tags {
    std::string title, game, system, author, date;
};
Gd3Tags ReadGd3(const Bytes& vgm);

// What an emulator said of a file, made fit for the player: the tags of the
// file's own encoding (GD3's UTF-16 for VGM, Shift-JIS for SPC) and every
// text cleaned.
void CleanMusicInfo(MusicInfo& info, const Bytes& data);

} // namespace tarvocore
