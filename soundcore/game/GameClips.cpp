// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/GameClips.h"

#include "common/MusicFormats.h"
#include "common/SidHeader.h"
#include "common/TagText.h"
#include "game/VgmValidator.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <set>

namespace tarvocore {

namespace {

// An .m3u track list, or HVSC's song lengths.
bool IsTrackList(const ArchiveMember& member) {
    return FamilyOfName(member.name) == MusicFamily::TrackList;
}

// What goes beside a music file rather than being one: a track list, or a
// file songs open by name.
bool IsBesideMusic(const ArchiveMember& member) {
    const MusicFamily family = FamilyOfName(member.name);
    return family == MusicFamily::TrackList || family == MusicFamily::AdLibCompanion;
}

// VGM by its content: plain, or gzip-compressed (VGZ) whatever it is called.
bool LooksLikeVgm(const Bytes& data) {
    return (data.size() >= 4 && std::memcmp(data.data(), "Vgm ", 4) == 0) ||
           (data.size() >= 2 && data[0] == 0x1F && data[1] == 0x8B);
}

std::string Plural(int count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

} // namespace

int CGameClips::NumberOfFile(const std::string& name) {
    long number = 0;
    size_t digits = 0;
    while (digits < name.size() && std::isdigit(static_cast<unsigned char>(name[digits]))) {
        number = number * 10 + (name[digits] - '0');
        if (number > kMaxClipNumber) return -1;
        ++digits;
    }
    return digits ? static_cast<int>(number) : -1;
}

std::string CGameClips::TitleOfFile(const std::string& name) {
    size_t start = 0;
    while (start < name.size() && std::isdigit(static_cast<unsigned char>(name[start])))
        ++start;
    const size_t dot = name.rfind('.');
    const size_t end = dot == std::string::npos || dot < start ? name.size() : dot;
    std::string title = name.substr(start, end - start);
    const auto isSeparator = [](char c) { return c == ' ' || c == '-' || c == '_' || c == '.'; };
    while (!title.empty() && isSeparator(title.front()))
        title.erase(title.begin());
    while (!title.empty() && isSeparator(title.back()))
        title.pop_back();
    return CleanTagText(title);
}

bool CGameClips::PrepareData(const ArchiveMember& member, Bytes& data, std::string& error,
                             std::string* chips) {
    if (const std::string problem = LooksLikeSid(member.data) ? SidHeaderProblem(member.data) : "";
        !problem.empty()) {
        error = problem;
        return false;
    }
    if (!LooksLikeVgm(member.data)) {
        data = member.data;
        return true;
    }
    CheckedMusic checked = CVgmValidator::Check(member.data);
    if (!checked.ok()) {
        error = checked.error;
        return false;
    }
    if (chips) *chips = checked.chipSummary;
    data = std::move(checked.data);
    return true;
}

bool CGameClips::Build(const CRomArchive& archive, CEmulatorProcess& emulator, std::string& error,
                       const std::atomic<bool>* cancelled) {
    m_clips.clear();
    m_details.clear();
    m_unread.clear();
    m_multiTrack = false;
    std::vector<const ArchiveMember*> music;
    for (const ArchiveMember& member : archive.Members())
        if (!IsBesideMusic(member)) music.push_back(&member);
    // One music file holds the game's songs, unless its name numbers it.
    if (music.size() == 1 &&
        (IsConsoleMultiTrackName(music[0]->name) || NumberOfFile(music[0]->name) < 0))
        return BuildMultiTrack(archive, *music[0], emulator, error);
    BuildNumbered(archive, emulator, cancelled);
    if (m_clips.empty()) {
        error = "the archive holds no numbered music file";
        return false;
    }
    return true;
}

CompanionFiles CGameClips::CompanionsIn(const CRomArchive& archive) {
    CompanionFiles companions;
    for (const ArchiveMember& member : archive.Members())
        if (FamilyOfName(member.name) == MusicFamily::AdLibCompanion &&
            companions.size() < kMaxCompanions && member.data.size() <= kMaxCompanionSize)
            companions.push_back({member.name, member.data});
    return companions;
}

Bytes CGameClips::TrackListFor(const CRomArchive& archive) const {
    for (const ArchiveMember& member : archive.Members())
        if (IsTrackList(member) && (m_multiTrack || LowerExtension(member.name) == "md5"))
            return member.data;
    return {};
}

bool CGameClips::BuildMultiTrack(const CRomArchive& archive, const ArchiveMember& member,
                                 CEmulatorProcess& emulator, std::string& error) {
    m_multiTrack = true;
    const Bytes trackList = TrackListFor(archive);
    MusicInfo info;
    std::string reason;
    Bytes data;
    const CompanionFiles companions = CompanionsIn(archive);
    std::vector<int> stopped; // those songs are no clips
    const SongReader read = [&](int measured, MusicInfo& found, std::string& why) {
        return emulator.Info(member.name, data, trackList, companions, found, why,
                             CEmulatorProcess::kOpenLimitMs, measured);
    };
    if (!PrepareData(member, data, reason) || !ReadSongs(read, info, stopped, reason) ||
        info.tunes.empty()) {
        error = member.name + (reason.empty() ? " holds no tune" : ": " + reason);
        m_multiTrack = false;
        return false;
    }
    for (int track : SongsOf(info, IsConsoleMultiTrackName(member.name)))
        if (track <= kMaxClipNumber)
            m_clips[track] = ClipOf(member, track, info.tunes[track], info.tunes[track].title);
    if (m_clips.empty()) {
        error = member.name + " holds no song of half a second or more";
        m_multiTrack = false;
        return false;
    }
    m_details = info.system + "; " + Plural(Count(), "clip");
    return true;
}

// Every numbered file is a clip, titled by its name until its tags say more.
// The tags are read within one budget for the whole game: files that cannot
// be read cost the emulator's whole limit each, so after a few in a row, or
// once the time is up, the rest keep their names.
void CGameClips::BuildNumbered(const CRomArchive& archive, CEmulatorProcess& emulator,
                               const std::atomic<bool>* cancelled) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kLoadBudgetMs);
    std::set<std::string> systems;
    const Bytes songLengths = TrackListFor(archive);
    const CompanionFiles companions = CompanionsIn(archive);
    std::map<int, std::vector<int>> songsOf; // by the file's number, of the files read
    std::map<int, std::vector<TuneInfo>> tunesOf;
    int failedInARow = 0, unread = 0, files = 0;
    for (const ArchiveMember& member : archive.Members()) {
        const int number = NumberOfFile(member.name);
        if (number < 0 || m_clips.count(number) || IsBesideMusic(member)) continue;
        m_clips[number] = {&member, 0, TitleOfFile(member.name), -1};
        ++files;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (failedInARow >= kFailuresBeforeGivingUp || left.count() <= 0 ||
            (cancelled && *cancelled)) {
            ++unread;
            continue;
        }
        Bytes data;
        std::string chips, reason;
        MusicInfo info;
        const int limitMs =
            static_cast<int>(std::min<long long>(left.count(), CEmulatorProcess::kOpenLimitMs));
        if (!PrepareData(member, data, reason, &chips)) { // refused at once, by the checks
            ++unread;
            continue;
        }
        const SongReader read = [&](int measured, MusicInfo& found, std::string& why) {
            return emulator.Info(member.name, data, songLengths, companions, found, why, limitMs,
                                 measured);
        };
        if (std::vector<int> stopped; !ReadSongs(read, info, stopped, reason)) {
            ++failedInARow;
            ++unread;
            continue;
        }
        failedInARow = 0;
        songsOf[number] = SongsOf(info, false);
        tunesOf[number] = std::move(info.tunes);
        systems.insert(chips.empty() ? info.system : chips);
    }
    PlaceSongs(songsOf, tunesOf);
    if (unread > 0)
        m_unread = std::to_string(unread) + " of the game's " + std::to_string(files) +
                   " files could not be read; they are listed by their names";
    for (const std::string& system : systems)
        m_details += (m_details.empty() ? "" : "; ") + system;
    m_details += (m_details.empty() ? "" : "; ") + Plural(Count(), "clip");
}

bool CGameClips::ReadSongs(const SongReader& read, MusicInfo& info, std::vector<int>& stopped,
                           std::string& error) {
    stopped.clear();
    if (read(kEverySong, info, error)) return true;
    if (error != CEmulatorProcess::kStoppedReason) return false;
    MusicInfo songs;
    std::string why;
    if (!read(kNoSong, songs, why) || songs.tunes.size() < 2) return false;
    for (size_t song = 0; song < songs.tunes.size(); ++song) {
        MusicInfo one;
        if (read(static_cast<int>(song), one, why) && song < one.tunes.size()) {
            songs.tunes[song] = one.tunes[song];
            continue;
        }
        stopped.push_back(static_cast<int>(song));
        songs.tunes[song].lengthMs = 0;
    }
    if (stopped.size() == songs.tunes.size()) return false;
    info = std::move(songs);
    error.clear();
    return true;
}

std::string CGameClips::TitleOfSong(const std::string& fileName, const TuneInfo& tune, int song,
                                    int songs) {
    if (!tune.title.empty()) return tune.title;
    const std::string file = TitleOfFile(fileName);
    return songs == 1 ? file : file + ", song " + std::to_string(song + 1);
}

ClipLocation CGameClips::ClipOf(const ArchiveMember& member, int track, const TuneInfo& tune,
                                const std::string& title) {
    return {&member, track, title, tune.lengthMs, tune.introMs, tune.loopMs};
}

// A file numbered N holds its songs as clips N, N + 1, ... up to the next
// file's number: song k is clip N + k, and a song too short to be one leaves
// its number empty, so the numbers do not depend on how each was measured.
void CGameClips::PlaceSongs(const std::map<int, std::vector<int>>& songsOf,
                            const std::map<int, std::vector<TuneInfo>>& tunesOf) {
    std::set<int> numbered;
    for (const auto& [number, clip] : m_clips)
        numbered.insert(number);
    for (const auto& [number, songs] : songsOf) {
        const ArchiveMember& member = *m_clips.at(number).member;
        const std::vector<TuneInfo>& tunes = tunesOf.at(number);
        m_clips.erase(number);
        const auto next = numbered.upper_bound(number);
        const int end = next == numbered.end() ? kMaxClipNumber + 1 : *next;
        const int count = static_cast<int>(tunes.size());
        for (int song : songs)
            if (number + song < end)
                m_clips[number + song] = ClipOf(member, song, tunes[song],
                                                TitleOfSong(member.name, tunes[song], song, count));
    }
}

const ClipLocation* CGameClips::Find(int clip) const {
    const auto it = m_clips.find(clip);
    return it == m_clips.end() ? nullptr : &it->second;
}

} // namespace tarvocore
