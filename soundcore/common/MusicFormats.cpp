// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/MusicFormats.h"

#include <cctype>
#include <map>
#include <set>

namespace tarvocore {

std::string LowerExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    const size_t slash = name.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

MusicFamily FamilyOfName(const std::string& name) {
    using F = MusicFamily;
    static const std::map<std::string, MusicFamily> kFamilies = {
        {"vgm", F::Console},   {"vgz", F::Console},  {"nsf", F::Console}, {"nsfe", F::Console},
        {"gbs", F::Console},   {"gym", F::Console},  {"hes", F::Console}, {"kss", F::Console},
        {"ay", F::Console},    {"sap", F::Console},  {"spc", F::Console}, {"sid", F::Commodore64},
        {"mod", F::Tracker},   {"s3m", F::Tracker},  {"xm", F::Tracker},  {"it", F::Tracker},
        {"mptm", F::Tracker},  {"umx", F::Tracker},  {"mo3", F::Tracker}, {"stm", F::Tracker},
        {"669", F::Tracker},   {"mtm", F::Tracker},  {"med", F::Tracker}, {"okt", F::Tracker},
        {"far", F::Tracker},   {"ult", F::Tracker},  {"dsm", F::Tracker}, {"amf", F::Tracker},
        {"psm", F::Tracker},   {"imf", F::AdLib},    {"wlf", F::AdLib},   {"dro", F::AdLib},
        {"rad", F::AdLib},     {"hsc", F::AdLib},    {"a2m", F::AdLib},   {"cmf", F::AdLib},
        {"d00", F::AdLib},     {"sng", F::AdLib},    {"laa", F::AdLib},   {"rix", F::AdLib},
        {"adl", F::AdLib},     {"bam", F::AdLib},    {"cff", F::AdLib},   {"dfm", F::AdLib},
        {"dtm", F::AdLib},     {"ksm", F::AdLib},    {"lds", F::AdLib},   {"mad", F::AdLib},
        {"mdi", F::AdLib},     {"mkj", F::AdLib},    {"msc", F::AdLib},   {"mtk", F::AdLib},
        {"rol", F::AdLib},     {"sa2", F::AdLib},    {"sat", F::AdLib},   {"xad", F::AdLib},
        {"xms", F::AdLib},     {"xsm", F::AdLib},    {"hsp", F::AdLib},   {"jbm", F::AdLib},
        {"got", F::AdLib},     {"sop", F::AdLib},    {"amd", F::AdLib},   {"bmf", F::AdLib},
        {"raw", F::AdLib},     {"sci", F::AdLib},    {"agd", F::AdLib},   {"ha2", F::AdLib},
        {"m3u", F::TrackList}, {"md5", F::TrackList}};
    const auto it = kFamilies.find(LowerExtension(name));
    return it == kFamilies.end() ? F::None : it->second;
}

bool IsConsoleMultiTrackName(const std::string& name) {
    static const std::set<std::string> kMultiTrack{"nsf", "nsfe", "gbs", "hes", "kss", "ay", "sap"};
    return kMultiTrack.count(LowerExtension(name)) > 0;
}

} // namespace tarvocore
