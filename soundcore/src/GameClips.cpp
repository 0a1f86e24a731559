#include "GameClips.h"

#include "ChildProbe.h"
#include "VgmValidator.h"

#include <algorithm>
#include <gme/gme.h>
#include <set>

namespace tarvocore {

namespace {

std::string LowerExtension(const std::string& name) {
    return CRomArchive::LowerExtension(name);
}

bool IsMultiTrackName(const std::string& name) {
    static const std::set<std::string> kMultiTrack{"nsf", "nsfe", "gbs", "hes", "kss", "ay", "sap"};
    return kMultiTrack.count(LowerExtension(name)) > 0;
}

std::string Plural(int count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

} // namespace

bool CGameClips::IsVgm(const std::string& name) {
    const std::string ext = LowerExtension(name);
    return ext == "vgm" || ext == "vgz";
}

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

bool CGameClips::Build(const CRomArchive& archive, std::string& error) {
    m_clips.clear();
    m_details.clear();
    m_multiTrack = false;
    const auto& members = archive.Members();
    if (members.size() == 1 && IsMultiTrackName(members[0].name))
        return BuildMultiTrack(members[0], error);
    BuildNumbered(archive);
    if (m_clips.empty()) {
        error = "the archive holds no numbered music file";
        return false;
    }
    return true;
}

bool CGameClips::BuildMultiTrack(const ArchiveMember& member, std::string& error) {
    const int tracks = CChildProbe::Probe(member.data, 0);
    if (tracks <= 0) {
        error = member.name + " cannot be played safely";
        return false;
    }
    m_multiTrack = true;
    for (int track = 0; track < tracks; ++track)
        m_clips[track] = {&member, track};
    const gme_type_t type = gme_identify_extension(member.name.c_str());
    m_details =
        std::string(type ? gme_type_system(type) : "Music file") + "; " + Plural(tracks, "clip");
    return true;
}

void CGameClips::BuildNumbered(const CRomArchive& archive) {
    std::set<std::string> chips;
    for (const ArchiveMember& member : archive.Members()) {
        const int number = NumberOfFile(member.name);
        if (number < 0 || m_clips.count(number)) continue;
        m_clips[number] = {&member, 0};
        if (IsVgm(member.name)) {
            const CheckedMusic checked = CVgmValidator::Check(member.data);
            if (checked.ok()) chips.insert(checked.chipSummary);
        } else {
            const gme_type_t type = gme_identify_extension(member.name.c_str());
            if (type) chips.insert(gme_type_system(type));
        }
    }
    for (const std::string& chip : chips)
        m_details += (m_details.empty() ? "" : "; ") + chip;
    m_details += (m_details.empty() ? "" : "; ") + Plural(Count(), "clip");
}

const ClipLocation* CGameClips::Find(int clip) const {
    const auto it = m_clips.find(clip);
    return it == m_clips.end() ? nullptr : &it->second;
}

} // namespace tarvocore
