// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/ClipInfo.h"

#include "library/IListView.h"
#include "library/TextUtils.h"

#include <algorithm>
#include <cstdio>

namespace tarvo {

void CClipInfo::SetDefaultRange() {
    SetRange(0, kDefaultLastClip);
    m_defaultRange = true;
}

void CClipInfo::SetRange(int first, int last) {
    m_defaultRange = false;
    if (last < 0) {
        clips.clear();
        firstClip = lastClip = -1;
        return;
    }
    const int newLast = std::max(first, last);
    if (newLast > kMaxClipNumber) return;
    firstClip = std::max(first, 0);
    if (lastClip != newLast) {
        lastClip = newLast;
        clips.resize(static_cast<size_t>(newLast) + 1);
    }
    for (int n = 0; n < firstClip; ++n)
        clips[n].blank = true;
}

void CClipInfo::ExtendTo(int clip) {
    if (clip > lastClip) SetRange(firstClip, clip);
}

void CClipInfo::SetTitle(int clip, const std::string& title) {
    ExtendTo(clip);
    if (clip < 0 || clip > lastClip) return;
    std::string line = OneLine(title);
    if (clips[clip].title == line) return;
    clips[clip].title = std::move(line);
    m_defaultRange = false;
}

void CClipInfo::SetBlank(int clip, bool blank) {
    ExtendTo(clip);
    if (clip < 0 || clip > lastClip || clips[clip].blank == blank) return;
    clips[clip].blank = blank;
    m_defaultRange = false;
}

bool CClipInfo::IsBlank(int clip) const {
    const ClipRecord* record = GetRecord(clip);
    return !record || record->blank;
}

std::string CClipInfo::GetTitle(int clip) const {
    const ClipRecord* record = GetRecord(clip);
    return record ? record->title : std::string();
}

const ClipRecord* CClipInfo::GetRecord(int clip) const {
    if (clip < 0 || clip > lastClip || static_cast<size_t>(clip) >= clips.size()) return nullptr;
    return &clips[clip];
}

std::string CClipInfo::GetLabel(int clip) const {
    if (IsBlank(clip)) return "-- blank --";
    std::string title = GetTitle(clip);
    return title.empty() ? "Clip " + std::to_string(clip) : title;
}

bool CClipInfo::SeedFromTunes(const std::vector<FoundTune>& tunes) {
    if (tunes.empty() || tunes.size() > static_cast<size_t>(kMaxClipNumber) + 1) return false;
    const bool known = HasInformation();
    if (!known) SetRange(0, static_cast<int>(tunes.size()) - 1);
    bool learned = !known;
    for (int n = firstClip; n <= lastClip && n < static_cast<int>(tunes.size()); ++n) {
        ClipRecord& record = clips[n];
        if (!known && !tunes[n].present) record.blank = true;
        if (tunes[n].present && !record.blank && record.title.empty() && !tunes[n].title.empty()) {
            record.title = OneLine(tunes[n].title);
            learned = true;
        }
    }
    return learned;
}

void CClipInfo::WriteClipInfo(std::ostream& out, const std::string& romName) const {
    if (!HasInformation()) return;
    out << romName << ":range " << firstClip << ' ' << lastClip << '\n';
    for (int n = std::max(firstClip, 0); n <= lastClip; ++n) {
        const ClipRecord& record = clips[n];
        if (record.blank)
            out << romName << ":blank " << n << '\n';
        else if (!record.title.empty())
            out << romName << ":title " << n << ' ' << record.title << '\n';
    }
}

void CClipInfo::FillClipList(IListView& list, bool showBlanks, const std::vector<int>& lengthsMs) {
    if (lastClip < 0) SetDefaultRange();
    list.DeleteAllRows();
    for (int n = firstClip; n <= lastClip; ++n) {
        if (clips[n].blank && !showBlanks) continue;
        const int row = list.InsertRow(list.RowCount(), FormatClipNumber(n), GetLabel(n), n);
        list.SetText(row, 2, LengthTextOf(lengthsMs, n));
    }
}

std::string FormatClipNumber(int clip) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", clip);
    return text;
}

std::string FormatLength(int milliseconds) {
    if (milliseconds <= 0) return {};
    const int seconds = (milliseconds + 500) / 1000;
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    else
        std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

std::string LengthTextOf(const std::vector<int>& lengthsMs, int clip) {
    return clip >= 0 && static_cast<size_t>(clip) < lengthsMs.size()
               ? FormatLength(lengthsMs[static_cast<size_t>(clip)])
               : std::string();
}

int LengthColumnWidth(const IListView& list) {
    return list.TextWidth("00:00") + 12;
}

void SetupClipColumns(IListView& list) {
    list.DeleteAllColumns();
    const int width = list.ClientWidth();
    const int numberWidth = list.TextWidth("00500");
    const int lengthWidth = LengthColumnWidth(list);
    list.InsertColumn(0, numberWidth);
    list.InsertColumn(1, width - numberWidth - lengthWidth - 20);
    list.InsertColumn(2, lengthWidth);
}

} // namespace tarvo
