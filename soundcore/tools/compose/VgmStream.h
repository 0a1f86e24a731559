// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/compose/VgmBuilder.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace compose {

// A VGM 1.71 file written command by command, for any of the format's chips:
// the header's chip fields as given, the commands, waits, a loop point and
// pieces of a chip's ROM.
class VgmStream {
public:
    // The header's fields (chip clocks and their flags) by their offsets.
    explicit VgmStream(std::vector<std::pair<size_t, uint32_t>> header)
        : m_header(std::move(header)) {}

    VgmStream& Command(std::initializer_list<uint8_t> bytes);
    // A wait of any length, in commands of at most 0xFFFF samples.
    VgmStream& Wait(long samples);
    VgmStream& MarkLoop();
    // A piece of a chip's ROM: the whole ROM's size, where the piece goes, the piece.
    VgmStream& Rom(uint8_t type, uint32_t romSize, uint32_t start, const Bytes& piece);
    // The file, with a tag block when given one; without, it ends at its end command.
    Bytes Finish(const std::string& track = "", const std::string& game = "",
                 const std::string& system = "") const;

private:
    std::vector<std::pair<size_t, uint32_t>> m_header;
    Bytes m_commands;
    long m_samples = 0;
    long m_loopCommand = -1;
    long m_loopSample = 0;
};

} // namespace compose
