// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/MusicData.h"

#include <adplug/fprovide.h>
#include <string>

namespace tarvocore {

// The files AdPlug's players may open, from memory: the music file handed to
// the engine, by its name. Each reads exactly as a file on disk does through
// AdPlug's own provider, down to the byte a read past the end gives, so the
// checksums some players take of their file (to pick a song's tempo) come
// out as they would from disk.
class CAdPlugFiles : public CFileProvider {
public:
    CAdPlugFiles(const std::string& name, const Bytes& data) : m_name(name), m_data(data) {}

    binistream* open(std::string name) const override;
    void close(binistream* stream) const override;

private:
    std::string m_name;
    const Bytes& m_data;
};

} // namespace tarvocore
