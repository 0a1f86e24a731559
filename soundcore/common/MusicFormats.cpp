// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/MusicFormats.h"

#include <cctype>
#include <map>
#include <set>

namespace tarvocore {

std::string LowerAscii(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string LowerExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    const size_t slash = name.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return LowerAscii(name.substr(dot + 1));
}

MusicFamily FamilyOfName(const std::string& name) {
    using F = MusicFamily;
    static const std::map<std::string, MusicFamily> kFamilies = {
        {"vgm", F::Console},
        {"vgz", F::Console},
        {"nsf", F::Console},
        {"nsfe", F::Console},
        {"gbs", F::Console},
        {"gym", F::Console},
        {"hes", F::Console},
        {"kss", F::Console},
        {"ay", F::Console},
        {"sap", F::Console},
        {"spc", F::Console},
        {"sid", F::Commodore64},
        {"mod", F::Tracker},
        {"s3m", F::Tracker},
        {"xm", F::Tracker},
        {"it", F::Tracker},
        {"mptm", F::Tracker},
        {"umx", F::Tracker},
        {"mo3", F::Tracker},
        {"stm", F::Tracker},
        {"669", F::Tracker},
        {"mtm", F::Tracker},
        {"med", F::Tracker},
        {"okt", F::Tracker},
        {"far", F::Tracker},
        {"ult", F::Tracker},
        {"dsm", F::Tracker},
        {"amf", F::Tracker},
        {"psm", F::Tracker},
        {"imf", F::AdLib},
        {"wlf", F::AdLib},
        {"dro", F::AdLib},
        {"rad", F::AdLib},
        {"hsc", F::AdLib},
        {"a2m", F::AdLib},
        {"cmf", F::AdLib},
        {"d00", F::AdLib},
        {"sng", F::AdLib},
        {"laa", F::AdLib},
        {"rix", F::AdLib},
        {"adl", F::AdLib},
        {"bam", F::AdLib},
        {"cff", F::AdLib},
        {"dfm", F::AdLib},
        {"dtm", F::AdLib},
        {"ksm", F::AdLib},
        {"lds", F::AdLib},
        {"mad", F::AdLib},
        {"mdi", F::AdLib},
        {"mkj", F::AdLib},
        {"msc", F::AdLib},
        {"mtk", F::AdLib},
        {"rol", F::AdLib},
        {"sa2", F::AdLib},
        {"sat", F::AdLib},
        {"xad", F::AdLib},
        {"xms", F::AdLib},
        {"xsm", F::AdLib},
        {"hsp", F::AdLib},
        {"jbm", F::AdLib},
        {"got", F::AdLib},
        {"sop", F::AdLib},
        {"amd", F::AdLib},
        {"bmf", F::AdLib},
        {"raw", F::AdLib},
        {"sci", F::AdLib},
        {"agd", F::AdLib},
        {"ha2", F::AdLib},
        {"adlib", F::AdLib},
        {"rac", F::AdLib},
        {"mus", F::AdLib},
        {"ims", F::AdLib},
        {"mid", F::AdLib},
        {"dmo", F::AdLib},
        {"m", F::AdLib},
        {"hsq", F::AdLib},
        {"sqx", F::AdLib},
        {"sdb", F::AdLib},
        {"m3u", F::TrackList},
        {"md5", F::TrackList},
        // What AdLib players open beside their songs: instrument banks, timbres, patches.
        {"bnk", F::AdLibCompanion},
        {"ins", F::AdLibCompanion},
        {"snd", F::AdLibCompanion},
        {"tim", F::AdLibCompanion}};
    const auto it = kFamilies.find(LowerExtension(name));
    if (it != kFamilies.end()) return it->second;
    return IsAdLibCompanionName(name) ? F::AdLibCompanion : F::None;
}

bool IsAdLibCompanionName(const std::string& name) {
    const size_t slash = name.rfind('/');
    const std::string lower =
        LowerAscii(slash == std::string::npos ? name : name.substr(slash + 1));
    // Ken Silverman's instruments, and the patches of Sierra's songs ("icepatch.003").
    const std::string patch = "patch.003";
    return lower == "insts.dat" ||
           (lower.size() >= patch.size() &&
            lower.compare(lower.size() - patch.size(), patch.size(), patch) == 0);
}

bool IsConsoleMultiTrackName(const std::string& name) {
    static const std::set<std::string> kMultiTrack{"nsf", "nsfe", "gbs", "hes", "kss", "ay", "sap"};
    return kMultiTrack.count(LowerExtension(name)) > 0;
}

} // namespace tarvocore
