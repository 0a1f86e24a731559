// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/GameExport.h"

#include "core/TarvoCore.h"
#include "library/ClipInfo.h"
#include "library/ExportName.h"
#include "library/TextUtils.h"
#include "player/CoreRequests.h"

#include <algorithm>

namespace tarvo {

namespace {

std::string TitleFor(ICore& core, const CClipInfo& clips, int clip) {
    const ClipRecord* record = clips.GetRecord(clip);
    if (record && !record->title.empty()) return record->title;
    return core.GetString(CORE_STR_TUNE_TITLE, clip);
}

} // namespace

std::vector<ExportItem> CGameExport::Items(const CClipInfo& clips,
                                           const std::string& extension) const {
    ICore& core = m_core;
    std::vector<int> numbers;
    if (core.GetInt(CORE_INT_TUNE_TABLE, 0) == 1) {
        for (int clip = 0; clip <= core.GetInt(CORE_INT_LAST_TUNE, 0); ++clip)
            if (core.GetInt(CORE_INT_HAS_TUNE, clip) == 1 && !clips.IsBlank(clip))
                numbers.push_back(clip);
    } else {
        for (int clip = std::max(clips.firstClip, 0);
             clip <= clips.lastClip && numbers.size() < kMostClipsWithoutTunes; ++clip)
            if (!clips.IsBlank(clip)) numbers.push_back(clip);
    }
    std::vector<ExportItem> items;
    for (int clip : numbers)
        items.push_back({clip, ExportFileName(clip, TitleFor(core, clips, clip), extension)});
    return items;
}

bool CGameExport::PathsFit(const std::string& folder, const std::vector<ExportItem>& items) {
    return std::all_of(items.begin(), items.end(), [&](const ExportItem& item) {
        return folder.size() + item.fileName.size() < CORE_PATH_BUFFER_SIZE;
    });
}

std::vector<std::string> CGameExport::ExistingFiles(const std::string& folder,
                                                    const std::vector<ExportItem>& items) {
    std::vector<std::string> existing;
    for (const ExportItem& item : items)
        if (FileExists(folder + item.fileName)) existing.push_back(item.fileName);
    return existing;
}

void CGameExport::Start(std::string folder, std::vector<ExportItem> items) {
    m_folder = std::move(folder);
    m_items = std::move(items);
    m_written = 0;
    m_error.clear();
    m_cancelled = false;
    m_next = 0;
    ExportNext();
    if (m_changed) m_changed();
}

void CGameExport::ExportNext() {
    if (m_next >= Count()) {
        m_next = -1;
        return;
    }
    m_core.Command(CORE_CMD_EXPORT_CLIP, m_items[m_next].clip);
}

void CGameExport::Cancel() {
    if (!Running()) return;
    m_cancelled = true;
    m_next = -1;
    m_core.Command(CORE_CMD_CANCEL_EXPORT, 0);
    if (m_changed) m_changed();
}

void CGameExport::Abandon(const std::string& reason) {
    if (!Running()) return;
    Cancel();
    m_cancelled = false;
    m_error = reason;
}

int CGameExport::Permille() const {
    if (m_items.empty()) return 1000;
    const int part = Running() ? std::max(m_core.GetInt(CORE_INT_EXPORT_PROGRESS, 0), 0) : 0;
    return static_cast<int>((m_written * 1000LL + part) / Count());
}

std::string CGameExport::CurrentFile() const {
    return Running() ? m_items[m_next].fileName : std::string();
}

void CGameExport::AnswerPath(void* buffer) const {
    if (Running()) CopyToCoreBuffer(buffer, m_folder + m_items[m_next].fileName);
}

void CGameExport::OnExported(const char* error, int clip) {
    if (!Running() || clip != m_items[m_next].clip) return; // one cancelled meanwhile
    if (error) {
        m_error = m_items[m_next].fileName + ": " + error;
        m_next = -1;
        return;
    }
    ++m_written;
    ++m_next;
    ExportNext();
}

} // namespace tarvo
