// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tarvocore {

// The kinds of music file the core plays, by the engine behind them, and the
// lists that go beside them.
enum class MusicFamily {
    None,
    Console,        // Game_Music_Emu: VGM, NSF, GBS, SPC...
    Commodore64,    // libsidplayfp: PSID and RSID
    Tracker,        // libopenmpt: MOD, S3M, XM, IT...
    AdLib,          // AdPlug: IMF, DRO, RAD, HSC...
    TrackList,      // an .m3u track list or HVSC's Songlengths.md5
    AdLibCompanion, // a bank or patch file an AdLib song needs beside it
};

// The family a file's name says it is of; files that say nothing by their
// name may still be known by their content.
MusicFamily FamilyOfName(const std::string& name);

// The files by fixed names that AdLib players open beside a song: KSM's
// "insts.dat", a Sierra song's "...patch.003". FamilyOfName knows them too.
bool IsAdLibCompanionName(const std::string& name);

// NSF, NSFE, GBS, HES, KSS, AY and SAP: one file holds a console game's
// every track.
bool IsConsoleMultiTrackName(const std::string& name);

// The text with its ASCII letters in lower case, the rest as they are.
std::string LowerAscii(std::string text);

// "Song.VGZ" gives "vgz"; "" without a dot.
std::string LowerExtension(const std::string& name);

} // namespace tarvocore
