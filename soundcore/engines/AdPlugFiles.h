// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/MusicData.h"

#include <adplug/fprovide.h>
#include <string>

namespace tarvocore {

// The files AdPlug's players may open, from memory: the music file handed to
// the engine, and the game's companion files (a ROL's bank, a KSM's
// "insts.dat", a Sierra song's patch file, an SNG's instruments), found by
// name, case and folders aside. A song renamed as a numbered clip ("03 Song.sng")
// still finds the file named after it ("SONG.INS"), and a game's only file of
// the kind asked for stands in for a name it lacks.
//
// Each reads exactly as a file on disk does through AdPlug's own provider,
// down to the byte a read past the end gives, so the checksums some players
// take of their file (to pick a song's tempo) come out as they would from disk.
class CAdPlugFiles : public CFileProvider {
public:
    CAdPlugFiles(const std::string& name, const Bytes& data, const CompanionFiles& companions)
        : m_name(name), m_data(data), m_companions(companions) {}

    binistream* open(std::string name) const override;
    void close(binistream* stream) const override;

    // What a song of this name cannot play without, when the game lacks it:
    // "an instrument bank (.bnk)"; empty when it needs nothing or has it.
    std::string MissingCompanion(const std::string& name) const;

private:
    const Bytes* Find(const std::string& name) const;

    std::string m_name;
    const Bytes& m_data;
    const CompanionFiles& m_companions;
};

} // namespace tarvocore
