// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/add/GameBuilder.h"

#include "archive/RomArchive.h"
#include "common/MusicFormats.h"
#include "common/TagText.h"
#include "game/GameClips.h"
#include "library/TextUtils.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>

namespace tarvoadd {

namespace {

using tarvocore::CGameClips;

// Catalogue fields are separated by "|" and end at the line's end.
std::string Field(std::string text) {
    std::replace(text.begin(), text.end(), '|', '/');
    return tarvocore::CleanTagText(text);
}

// The first year (19xx or 20xx) a text names, and where it stands.
size_t YearAt(const std::string& text) {
    for (size_t at = 0; at + 4 <= text.size(); ++at) {
        const bool digits = std::all_of(text.begin() + static_cast<long>(at),
                                        text.begin() + static_cast<long>(at + 4),
                                        [](char c) { return c >= '0' && c <= '9'; });
        if (digits && (text.compare(at, 2, "19") == 0 || text.compare(at, 2, "20") == 0)) return at;
    }
    return std::string::npos;
}

std::string YearOf(const std::string& copyright) {
    const size_t at = YearAt(copyright);
    return at == std::string::npos ? std::string() : copyright.substr(at, 4);
}

// "1986 Nintendo" gives "Nintendo"; without a maker there (a date is none),
// the composer.
std::string MakerOf(const tarvocore::MusicInfo& info) {
    std::string maker = tarvocore::IsDateText(info.copyright) ? "" : info.copyright;
    if (const size_t at = YearAt(maker); at != std::string::npos) maker.erase(at, 4);
    maker = Field(maker);
    while (!maker.empty() && std::strchr(",.-/ ", maker.front()))
        maker.erase(maker.begin());
    while (!maker.empty() && std::strchr(",.-/ ", maker.back()))
        maker.pop_back();
    if (maker.empty()) maker = Field(info.author);
    return maker.empty() ? "Unknown" : maker;
}

std::string DriverOf(const tarvocore::MusicInfo& info, const std::string& fileName) {
    std::string format = tarvocore::LowerExtension(fileName);
    for (char& c : format)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return info.system.empty() ? format : Field(info.system) + " (" + format + ")";
}

// An .m3u track list, or song lengths, beside the music.
bool IsTrackList(const SourceFile& file) {
    return tarvocore::FamilyOfName(file.name) == tarvocore::MusicFamily::TrackList;
}

// A bank or patch file AdLib songs open by name: kept in the game's archive
// beside them, never a clip.
bool IsCompanion(const SourceFile& file) {
    return tarvocore::FamilyOfName(file.name) == tarvocore::MusicFamily::AdLibCompanion;
}

tarvocore::CompanionFiles CompanionsOf(const SourceGame& source) {
    tarvocore::CompanionFiles companions;
    for (const SourceFile& file : source.files)
        if (IsCompanion(file)) companions.push_back({file.name, file.data});
    return companions;
}

void AddCompanions(const SourceGame& source, NewGame& game) {
    for (const SourceFile& file : source.files)
        if (IsCompanion(file)) game.members.push_back(file);
}

// The collection's song lengths for the tunes read, as a file for the game's
// archive; the clips' lengths then come from it each time the game loads.
void AddSongLengths(const SourceGame& source, const std::vector<std::string>& fingerprints,
                    NewGame& game) {
    if (!source.songLengths) return;
    std::string lines;
    for (const std::string& fingerprint : fingerprints)
        if (const std::string line = source.songLengths->LineFor(fingerprint); !line.empty())
            lines += line + "\n";
    if (lines.empty()) return;
    lines = "[Database]\n" + lines;
    game.members.push_back(
        {"Songlengths.md5", tarvocore::Bytes(lines.begin(), lines.end()), {}, 0});
}

// What the emulator reads of a file, after the checks: false with the reason.
// Songs that stop the emulator are left out, each named in `game`.
bool ReadTags(const SourceFile& file, const tarvocore::Bytes& trackList, const SourceGame& source,
              tarvocore::CEmulatorProcess& emulator, tarvocore::MusicInfo& info,
              std::string& reason, NewGame& game) {
    tarvocore::ArchiveMember member{file.name, file.data};
    tarvocore::Bytes data;
    const tarvocore::CompanionFiles companions = CompanionsOf(source);
    const CGameClips::SongReader read = [&](int measured, tarvocore::MusicInfo& found,
                                            std::string& why) {
        return emulator.Info(file.name, data, trackList, companions, found, why,
                             tarvocore::CEmulatorProcess::kOpenLimitMs, measured);
    };
    std::vector<int> stopped;
    if (!CGameClips::PrepareData(member, data, reason) ||
        !CGameClips::ReadSongs(read, info, stopped, reason) || info.tunes.empty())
        return false;
    for (int song : stopped)
        game.skippedFiles.push_back(file.name + ", song " + std::to_string(song + 1) + ": " +
                                    tarvocore::CEmulatorProcess::kStoppedReason);
    return true;
}

// A module's or an AdLib file's title names its song, never its game: only
// the console formats and SID tunes tag the game.
bool TagsNameTheGame(const std::string& fileName) {
    const tarvocore::MusicFamily family = tarvocore::FamilyOfName(fileName);
    return family == tarvocore::MusicFamily::Console ||
           family == tarvocore::MusicFamily::Commodore64;
}

void TakeGameTags(NewGame& game, const tarvocore::MusicInfo& info, const std::string& fileName) {
    if (game.title.empty() && TagsNameTheGame(fileName)) game.title = Field(info.game);
    if (!game.driver.empty()) return; // the first file's

    game.maker = MakerOf(info);
    game.year = YearOf(info.copyright);
    game.driver = DriverOf(info, fileName);
}

void BuildMultiTrack(const SourceGame& source, const SourceFile& file, const SourceFile* list,
                     tarvocore::CEmulatorProcess& emulator, NewGame& game) {
    tarvocore::MusicInfo info;
    std::string reason;
    if (!ReadTags(file, list ? list->data : tarvocore::Bytes(), source, emulator, info, reason,
                  game)) {
        game.skipped = file.name + " is damaged (" + reason + ")";
        return;
    }
    TakeGameTags(game, info, file.name);
    if (game.title.empty() && info.tunes.size() == 1 && TagsNameTheGame(file.name))
        game.title = Field(info.tunes[0].title);
    for (const tarvocore::TuneInfo& tune : info.tunes)
        game.tunes.push_back({true, tune.title});
    game.members.push_back(file);
    AddCompanions(source, game);
    if (list)
        game.members.push_back(*list);
    else
        AddSongLengths(source, {info.fingerprint}, game);
    if (!source.zipPath.empty() && source.files.size() == game.members.size())
        game.copyArchive = source.zipPath;
}

// "01 Start.vgm", "20-Laser.vgm": a number, a separator, then a title.
bool IsTitledNumber(const std::string& name) {
    size_t at = 0;
    while (at < name.size() && std::isdigit(static_cast<unsigned char>(name[at])))
        ++at;
    const size_t dot = name.rfind('.');
    return at > 0 && at + 1 < name.size() &&
           (name[at] == ' ' || name[at] == '-' || name[at] == '_') &&
           (dot == std::string::npos || dot > at + 1);
}

// Whether the files' leading numbers are a numbering of them: each a number
// before a title ("01 Start", "20 Laser", a sound test's codes), or bare
// numbers ("01.vgm") close together; names that are only numbers far apart
// ("2001.MKJ" beside "2.CMF") are titles.
bool NumbersAreANumbering(const std::map<int, const SourceFile*>& byClip, size_t files) {
    const bool titled = std::all_of(byClip.begin(), byClip.end(), [](const auto& clip) {
        return IsTitledNumber(clip.second->name);
    });
    return titled || byClip.rbegin()->first <= 2 * static_cast<int>(files) + 8;
}

// A file read, on its way to the clips.
struct ReadFile {
    const SourceFile* file = nullptr;
    tarvocore::MusicInfo info;
};

// The file's songs as clips `first`, `first` + 1, ... below `end`, the short
// ones left out; the file goes into the archive named by its first clip.
void PlaceSongs(int first, int end, const ReadFile& read, NewGame& game) {
    const tarvocore::MusicInfo& info = read.info;
    const std::string& fileName = read.file->name;
    TakeGameTags(game, info, fileName);
    const int songs = static_cast<int>(info.tunes.size());
    for (int song : tarvocore::SongsOf(info, false)) {
        const int clip = first + song;
        if (clip >= end) break;
        if (game.tunes.size() <= static_cast<size_t>(clip)) game.tunes.resize(clip + 1);
        game.tunes[clip] = {true, CGameClips::TitleOfSong(fileName, info.tunes[song], song, songs),
                            info.tunes[song].lengthMs};
    }
    char number[16];
    std::snprintf(number, sizeof number, "%02d ", first);
    const std::string name =
        CGameClips::NumberOfFile(fileName) == first ? fileName : number + fileName;
    game.members.push_back({name, read.file->data, {}, 0});
}

// Numbered files keep their numbers; the others follow, in name order. Files
// whose numbers are no numbering all follow in name order from clip 1.
void BuildNumbered(const SourceGame& source, tarvocore::CEmulatorProcess& emulator, NewGame& game) {
    std::map<int, const SourceFile*> byClip;
    std::vector<const SourceFile*> unnumbered;
    std::vector<const SourceFile*> music;
    std::vector<SourceFile> lists; // song lengths stay beside the tunes
    for (const SourceFile& file : source.files) {
        if (IsTrackList(file)) {
            if (tarvocore::LowerExtension(file.name) == "md5") lists.push_back(file);
            continue;
        }
        if (IsCompanion(file)) continue;
        music.push_back(&file);
        const int number = CGameClips::NumberOfFile(file.name);
        if (number >= 0 && !byClip.count(number))
            byClip[number] = &file;
        else
            unnumbered.push_back(&file);
    }
    if (!byClip.empty() && !NumbersAreANumbering(byClip, music.size())) {
        byClip.clear();
        unnumbered = music;
    }
    const bool fits = !source.zipPath.empty() && unnumbered.empty();
    // Read first, placed after: an unnumbered file is numbered after every
    // song of the one before it, and each file's songs run up to the next
    // file's number, as the core places them.
    std::string firstProblem;
    std::map<int, ReadFile> placed;
    const auto read = [&](const SourceFile* file, tarvocore::MusicInfo& info) {
        std::string reason;
        if (ReadTags(*file, {}, source, emulator, info, reason, game)) return true;
        game.skippedFiles.push_back(file->name + ": " + reason);
        if (firstProblem.empty()) firstProblem = game.skippedFiles.back();
        return false;
    };
    for (const auto& [number, file] : byClip)
        if (tarvocore::MusicInfo info; read(file, info)) placed[number] = {file, std::move(info)};
    int next = byClip.empty() ? 1 : byClip.rbegin()->first + 1;
    for (const SourceFile* file : unnumbered)
        if (tarvocore::MusicInfo info; next <= CGameClips::kMaxClipNumber && read(file, info)) {
            const int songs = std::max<int>(static_cast<int>(info.tunes.size()), 1);
            placed[next] = {file, std::move(info)};
            next += songs;
        }
    std::vector<std::string> fingerprints;
    for (auto it = placed.begin(); it != placed.end(); ++it) {
        const auto after = std::next(it);
        PlaceSongs(it->first, after == placed.end() ? CGameClips::kMaxClipNumber + 1 : after->first,
                   it->second, game);
        fingerprints.push_back(it->second.info.fingerprint);
    }
    if (game.members.empty()) {
        game.skipped = "nothing playable" + (firstProblem.empty() ? "" : " (" + firstProblem + ")");
        return;
    }
    const size_t tunes = game.members.size();
    if (lists.empty()) AddSongLengths(source, fingerprints, game);
    const bool added = game.members.size() > tunes; // the archive as it is lacks them
    game.members.insert(game.members.end(), lists.begin(), lists.end());
    AddCompanions(source, game);
    if (fits && firstProblem.empty() && !added) game.copyArchive = source.zipPath;
}

std::string UniqueName(const std::string& base, std::set<std::string>& taken) {
    std::string name = base;
    for (int n = 2; taken.count(name); ++n)
        name = base.substr(0, 20) + "-" + std::to_string(n);
    taken.insert(name);
    return name;
}

} // namespace

int NewGame::ClipCount() const {
    return static_cast<int>(std::count_if(tunes.begin(), tunes.end(),
                                          [](const tarvo::FoundTune& t) { return t.present; }));
}

std::string NewGame::CatalogueLine(const std::string& source) const {
    return romName + " | " + title + " | " + maker + " | " + year + " | " + driver +
           " | added by tarvo-add from " + Field(source);
}

std::string ShortNameOf(const std::string& title) {
    std::string name;
    for (unsigned char c : title) {
        if (std::isalnum(c) && c < 128)
            name += static_cast<char>(c);
        else if (!name.empty() && name.back() != '-')
            name += '-';
        if (name.size() >= 24) break;
    }
    while (!name.empty() && name.back() == '-')
        name.pop_back();
    return name.empty() ? "game" : tarvo::ToLowerAscii(name);
}

NewGame BuildGame(const SourceGame& source, tarvocore::CEmulatorProcess& emulator) {
    NewGame game;
    if (!source.problem.empty()) {
        game.skipped = source.problem;
        return game;
    }
    std::vector<const SourceFile*> music;
    const SourceFile* list = nullptr;
    for (const SourceFile& file : source.files) {
        if (IsTrackList(file))
            list = &file;
        else if (!IsCompanion(file))
            music.push_back(&file);
    }
    if (music.size() == 1 && IsMultiTrackName(music.front()->name))
        BuildMultiTrack(source, *music.front(), list, emulator, game);
    else
        BuildNumbered(source, emulator, game);
    if (!game.skipped.empty()) return game;
    if (game.title.empty()) game.title = Field(source.folderName);
    if (game.title.empty()) game.title = "Untitled";
    if (source.part > 1) game.title += " (part " + std::to_string(source.part) + ")";
    return game;
}

void NameGame(NewGame& game, std::set<std::string>& taken) {
    game.romName = UniqueName(ShortNameOf(game.title), taken);
}

} // namespace tarvoadd
