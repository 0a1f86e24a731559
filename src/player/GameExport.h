// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ICore.h"

#include <functional>
#include <string>
#include <vector>

namespace tarvo {

class CClipInfo;

// One file of a game's export: the clip and the file's name in the folder.
struct ExportItem {
    int clip = 0;
    std::string fileName;
};

// A whole game rendered to sound files, one clip after the other: the core
// renders each in an emulator process of its own while the window shows the
// progress. It asks the core for the next clip once the last is written, and
// stops at the first that fails; a cancel removes the file being written and
// keeps the finished ones.
class CGameExport {
public:
    // A game without a tune table exports at most this many clips of its range.
    static constexpr int kMostClipsWithoutTunes = 100;

    // `changed` hears when an export starts or is cancelled.
    explicit CGameExport(ICore& core, std::function<void()> changed = {})
        : m_core(core), m_changed(std::move(changed)) {}

    // The loaded game's clips that have a tune and are not marked blank (the
    // range's unmarked clips for a core that lists no tunes), named by their
    // titles with `extension` (".flac").
    std::vector<ExportItem> Items(const CClipInfo& clips, const std::string& extension) const;
    // True when every item's path in `folder` fits the core's path buffer.
    static bool PathsFit(const std::string& folder, const std::vector<ExportItem>& items);

    // The names among `items` that already exist in `folder` (ending in "/").
    static std::vector<std::string> ExistingFiles(const std::string& folder,
                                                  const std::vector<ExportItem>& items);

    void Start(std::string folder, std::vector<ExportItem> items);
    void Cancel();
    // Ends the export as failed: the game it reads is going away.
    void Abandon(const std::string& reason);
    bool Running() const { return m_next >= 0; }

    // Thousandths of the whole export, the clip being written counted in part.
    int Permille() const;
    int Written() const { return m_written; }
    int Count() const { return static_cast<int>(m_items.size()); }
    // The file being written, and why the export stopped (empty when it did not fail).
    std::string CurrentFile() const;
    const std::string& Error() const { return m_error; }
    // True when the user cancelled the export.
    bool Cancelled() const { return m_cancelled; }
    const std::string& Folder() const { return m_folder; }

    // The core's messages 14 and 15.
    void AnswerPath(void* buffer) const;
    void OnExported(const char* error, int clip);

private:
    void ExportNext();

    ICore& m_core;
    std::function<void()> m_changed;
    std::string m_folder;
    std::vector<ExportItem> m_items;
    int m_next = -1; // the item being written, -1 when none
    int m_written = 0;
    std::string m_error;
    bool m_cancelled = false;
};

} // namespace tarvo
