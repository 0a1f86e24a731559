// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/add/GameReader.h"

#include "archive/RomArchive.h"
#include "common/MusicFormats.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace tarvoadd {

namespace fs = std::filesystem;

bool ReadSmallFile(const fs::path& path, Bytes& data, std::string& problem) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error || !fs::is_regular_file(path, error)) {
        problem = "it is damaged or cannot be read";
        return false;
    }
    if (size > tarvocore::kMaxMusicFileSize) {
        problem = "it is larger than 16 MiB";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    try {
        data.assign(std::istreambuf_iterator<char>(in), {});
    } catch (const std::exception&) { // a read that fails throws from the stream's buffer
        in.setstate(std::ios::badbit);
    }
    if (!in.good() && !in.eof())
        problem = std::string("it cannot be read (") + std::strerror(errno ? errno : EIO) + ")";
    return problem.empty();
}

namespace {

using tarvocore::MusicFamily;

bool IsTrackListFile(const SourceFile& file) {
    return tarvocore::FamilyOfName(file.name) == MusicFamily::TrackList;
}

size_t SizeOf(const SourceFile& file) {
    return file.data.empty() ? static_cast<size_t>(file.size) : file.data.size();
}

// A game none of whose files could be read says why: the one file's reason
// (an archive's naming its member), or that nothing played, beside the
// files it names.
void SayWhyNothingWasRead(SourceGame& game, const std::string& nothing, bool nameTheFile) {
    if (game.leftOut.size() == 1) {
        const std::string& only = game.leftOut.front();
        game.problem = nameTheFile ? nothing + ": " + only : only.substr(only.find(": ") + 2);
        game.leftOut.clear();
    } else if (game.problem.empty()) {
        game.problem = nothing;
    }
}

// Gathers a game's files into parts within what the core reads of one
// archive, each part with the game's track lists, handing each on as it fills.
class CParts {
public:
    CParts(const SourceGame& game, const std::function<void(const SourceGame&)>& take)
        : m_game(game), m_take(take) {
        m_game.files.clear();
        m_part = m_game;
    }

    void AddList(SourceFile file) {
        m_listBytes += SizeOf(file);
        m_lists.push_back(std::move(file));
    }
    void Add(SourceFile file) {
        using tarvocore::CRomArchive;
        const bool full = m_part.files.size() + m_lists.size() >= CRomArchive::kMaxMembers ||
                          m_listBytes + m_bytes + SizeOf(file) > CRomArchive::kMaxTotalSize;
        if (full && !m_part.files.empty()) HandOn();
        m_bytes += SizeOf(file);
        m_part.files.push_back(std::move(file));
    }
    void LeaveOut(const std::string& name, const std::string& reason) {
        m_part.leftOut.push_back(name + ": " + reason);
    }
    // The last part. A game with no file read at all is handed on with why;
    // a last part with no files of its own only names what was left out. A
    // game of one part, nothing left out, may keep `whole`, its archive as it is.
    void Finish(const std::string& nothing, const std::string& whole = {}) {
        if (!m_part.files.empty()) {
            if (m_handedOn == 0 && m_part.leftOut.empty()) m_part.zipPath = whole;
            HandOn();
        } else if (m_handedOn == 0) {
            SayWhyNothingWasRead(m_part, nothing, true);
            m_take(m_part);
        } else if (!m_part.leftOut.empty()) {
            m_take(m_part);
        }
    }

private:
    void HandOn() {
        m_part.files.insert(m_part.files.end(), m_lists.begin(), m_lists.end());
        m_take(m_part);
        ++m_handedOn;
        m_part = m_game;
        m_part.part = m_game.part + m_handedOn;
        m_part.zipPath.clear(); // a game in parts is no input archive as it is
        m_bytes = 0;
    }

    SourceGame m_game;
    std::function<void(const SourceGame&)> m_take;
    SourceGame m_part;
    std::vector<SourceFile> m_lists;
    size_t m_listBytes = 0;
    size_t m_bytes = 0;
    int m_handedOn = 0;
};

// An archive is read member by member, in parts; its members the reader
// refuses are named. A zip the core reads whole in one part may become the
// game's archive as it is.
void ReadArchive(SourceGame game, const std::function<void(const SourceGame&)>& take) {
    CParts parts(game, take);
    tarvocore::CRomArchive::Visitor visitor;
    visitor.take = [&parts](tarvocore::ArchiveMember&& member) {
        SourceFile file{member.name, std::move(member.data), {}, 0};
        if (IsTrackListFile(file))
            parts.AddList(std::move(file));
        else
            parts.Add(std::move(file));
    };
    visitor.refuse = [&parts](const std::string& name, const std::string& reason) {
        parts.LeaveOut(name, reason);
    };
    // A collection may hold far more than one archive of the core: it is read
    // whole, each member within the core's own size limit.
    const tarvocore::CRomArchive::Limits collection{size_t(1) << 20, size_t(1) << 40, 16ll << 30};
    std::string error, problem;
    if (!tarvocore::CRomArchive::Visit(game.archivePath, collection, visitor, error, problem)) {
        // "PATH is encrypted: ...", "PATH is one volume of ...": said of it as it is.
        const std::string named = game.archivePath + " is ";
        game.problem = error.rfind(named, 0) == 0 ? "it is " + error.substr(named.size())
                                                  : "it is damaged (" + error + ")";
        take(game);
        return;
    }
    std::error_code sizeError;
    const bool whole = problem.empty() && tarvocore::LowerExtension(game.archivePath) == "zip" &&
                       fs::file_size(game.archivePath, sizeError) <=
                           static_cast<uintmax_t>(tarvocore::CRomArchive::kMaxStreamSize);
    parts.Finish(problem.empty() ? "it holds no music the core plays" : "it is damaged",
                 whole ? game.archivePath : std::string());
}

// Loose files are parted by their sizes first, then each part is read.
void ReadFiles(SourceGame game, const std::function<void(const SourceGame&)>& take) {
    std::vector<SourceGame> planned;
    CParts parts(game, [&planned](const SourceGame& part) { planned.push_back(part); });
    for (SourceFile& file : game.files) {
        if (IsTrackListFile(file))
            parts.AddList(std::move(file));
        else
            parts.Add(std::move(file));
    }
    parts.Finish("nothing playable");
    for (SourceGame& part : planned) {
        std::vector<SourceFile> read;
        for (SourceFile& file : part.files) {
            std::string problem;
            if (file.data.empty() && !ReadSmallFile(file.path, file.data, problem)) {
                part.leftOut.push_back(file.name + ": " + problem);
                continue;
            }
            read.push_back(std::move(file));
        }
        part.files = std::move(read);
        if (part.files.empty()) SayWhyNothingWasRead(part, "nothing playable", false);
        take(part);
        part = {}; // its files let go before the next part is read
    }
}

} // namespace

void ReadGame(SourceGame found, const std::function<void(const SourceGame& part)>& take) {
    if (!found.problem.empty() || (found.files.empty() && found.archivePath.empty()))
        take(found); // a refusal, or the files of a folder left out
    else if (!found.archivePath.empty())
        ReadArchive(std::move(found), take);
    else
        ReadFiles(std::move(found), take);
}

} // namespace tarvoadd
