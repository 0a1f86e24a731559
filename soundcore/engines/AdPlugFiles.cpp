// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/AdPlugFiles.h"

#include "common/MusicFormats.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <libbinio/binstr.h>

namespace tarvocore {

namespace {

// A stream over bytes in memory that ends as a C stream does: a read past
// the end gives EOF's byte (0xFF), where libbinio's own memory stream gives 0.
class CFileLikeStream : public binisstream {
public:
    explicit CFileLikeStream(const Bytes& bytes)
        : binsbase(const_cast<uint8_t*>(bytes.data()), bytes.size()),
          binisstream(const_cast<uint8_t*>(bytes.data()), bytes.size()) {
        setFlag(binio::BigEndian, false);
        setFlag(binio::FloatIEEE);
    }

protected:
    Byte getByte() override {
        if (spos - data < length) return *spos++;
        err |= Eof;
        return 0xFF;
    }
};

// "C:\SONGS\Song1.INS" gives "song1.ins": players build companions' paths
// from their song's, with either kind of slash.
std::string BareName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return LowerAscii(slash == std::string::npos ? path : path.substr(slash + 1));
}

// "03 song1.ins" gives "song1.ins": a clip's number before a name.
std::string WithoutClipNumber(const std::string& name) {
    size_t at = 0;
    while (at < name.size() && std::isdigit(static_cast<unsigned char>(name[at])))
        ++at;
    if (at == 0 || at == name.size() || !std::strchr(" -._", name[at])) return name;
    return name.substr(at + 1);
}

} // namespace

const Bytes* CAdPlugFiles::Find(const std::string& path) const {
    const std::string name = BareName(path);
    if (name == BareName(m_name)) return &m_data;
    for (const std::string& wanted : {name, WithoutClipNumber(name)})
        for (const CompanionFile& file : m_companions)
            if (BareName(file.name) == wanted) return &file.data;
    // The only companion of the kind stands in for one named after a song
    // that was renamed ("insts.dat" is never named after one).
    const CompanionFile* only = nullptr;
    const std::string extension = LowerExtension(name);
    for (const CompanionFile& file : m_companions) {
        if (extension == "dat" || LowerExtension(file.name) != extension) continue;
        if (only) return nullptr;
        only = &file;
    }
    return only ? &only->data : nullptr;
}

binistream* CAdPlugFiles::open(std::string name) const {
    const Bytes* data = Find(name);
    return data ? new CFileLikeStream(*data) : nullptr;
}

void CAdPlugFiles::close(binistream* stream) const {
    delete stream;
}

std::string CAdPlugFiles::MissingCompanion(const std::string& name) const {
    const auto hasKind = [this](const std::string& extension) {
        return std::any_of(m_companions.begin(), m_companions.end(), [&](const CompanionFile& f) {
            return LowerExtension(f.name) == extension;
        });
    };
    const std::string extension = LowerExtension(name);
    if (extension == "rol" && !hasKind("bnk")) return "an instrument bank (standard.bnk)";
    if (extension == "ksm" && !Find("insts.dat")) return "its instruments (insts.dat)";
    if (extension == "sci" && !hasKind("003")) return "its patch file (...patch.003)";
    return {};
}

} // namespace tarvocore
