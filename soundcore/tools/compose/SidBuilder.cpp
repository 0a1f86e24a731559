// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/compose/SidBuilder.h"

#include <cmath>
#include <cstring>
#include <map>

namespace compose {

namespace {

constexpr int kLoadAddress = 0x1000;
constexpr int kHeaderSize = 0x7C; // PSID version 2

// The zero-page cells the player keeps its state in.
constexpr uint8_t kStep = 0xFB;      // and 0xFC: the step being played
constexpr uint8_t kStart = 0xF7;     // and 0xF8: the tune's first step
constexpr uint8_t kSpeed = 0xFA;     // frames a step
constexpr uint8_t kCountdown = 0xFD; // frames left of this step

// Just enough of an assembler for the player: bytes, labels, relative
// branches and absolute addresses fixed up once every label is placed.
class Assembler {
public:
    void Emit(std::initializer_list<int> bytes) {
        for (int byte : bytes)
            m_code.push_back(static_cast<uint8_t>(byte));
    }
    void Mark(const std::string& label) { m_labels[label] = static_cast<int>(m_code.size()); }
    void Branch(int opcode, const std::string& label) {
        Emit({opcode, 0});
        m_branches.emplace_back(m_code.size() - 1, label);
    }
    // An instruction whose operand is a label's address plus an offset.
    void Absolute(int opcode, const std::string& label, int offset = 0) {
        Emit({opcode});
        Pointer(label, offset);
    }
    void Pointer(const std::string& label, int offset = 0) {
        m_addresses.push_back({m_code.size(), label, offset});
        Emit({0, 0});
    }
    void Data(const Bytes& data) { m_code.insert(m_code.end(), data.begin(), data.end()); }
    int AddressOf(const std::string& label) const { return kLoadAddress + m_labels.at(label); }

    Bytes Link() const {
        Bytes code = m_code;
        for (const auto& [at, label] : m_branches)
            code[at] = static_cast<uint8_t>(m_labels.at(label) - static_cast<int>(at + 1));
        for (const Fixup& fixup : m_addresses) {
            const int address = AddressOf(fixup.label) + fixup.offset;
            code[fixup.at] = static_cast<uint8_t>(address);
            code[fixup.at + 1] = static_cast<uint8_t>(address >> 8);
        }
        return code;
    }

private:
    struct Fixup {
        size_t at;
        std::string label;
        int offset;
    };
    Bytes m_code;
    std::map<std::string, int> m_labels;
    std::vector<std::pair<size_t, std::string>> m_branches;
    std::vector<Fixup> m_addresses;
};

// init: A holds the tune (0 first). Points the player at the tune's steps,
// sets the volume, the voices' envelopes and the lead's pulse width.
void AssembleInit(Assembler& a) {
    a.Mark("init");
    a.Emit({0x0A, 0xAA});      // ASL A; TAX
    a.Absolute(0xBD, "tunes"); // LDA tunes,X
    a.Emit({0x85, kStart, 0x85, kStep});
    a.Absolute(0xBD, "tunes", 1); // LDA tunes+1,X
    a.Emit({0x85, kStart + 1, 0x85, kStep + 1});
    a.Absolute(0xBD, "speeds"); // LDA speeds,X
    a.Emit({0x85, kSpeed});
    a.Emit({0xA9, 0x0F, 0x8D, 0x18, 0xD4});                   // volume 15
    a.Emit({0xA9, 0x0A, 0x8D, 0x05, 0xD4, 0x8D, 0x0C, 0xD4}); // attack 0, decay 10
    a.Emit({0xA9, 0xA9, 0x8D, 0x06, 0xD4, 0x8D, 0x0D, 0xD4}); // sustain 10, release 9
    a.Emit({0xA9, 0x08, 0x8D, 0x03, 0xD4});                   // the lead's pulse at half
    a.Emit({0xA9, 0x01, 0x85, kCountdown, 0x60});             // a step on the first frame; RTS
}

// play, once a frame: every kSpeed frames, the next step of four bytes, two
// a voice: a frequency strikes a note, 0 holds it, 1 releases it. A step
// whose lead reads $00FF marks the end, where the tune starts over.
void AssemblePlay(Assembler& a) {
    a.Mark("play");
    a.Emit({0xC6, kCountdown}); // DEC countdown
    a.Branch(0xD0, "done");     // BNE done
    a.Emit({0xA5, kSpeed, 0x85, kCountdown});
    a.Emit({0xA0, 0x01, 0xB1, kStep}); // LDY #1; LDA (step),Y
    a.Branch(0xD0, "step");
    a.Emit({0x88, 0xB1, kStep, 0xC9, 0xFF}); // DEY; LDA (step),Y; CMP #$FF
    a.Branch(0xD0, "step");
    a.Emit({0xA5, kStart, 0x85, kStep, 0xA5, kStart + 1, 0x85, kStep + 1});
    a.Mark("step");
    a.Emit({0xA0, 0x00, 0xA2, 0x00}); // LDY #0; LDX #0 (the voice's registers)
    a.Mark("voice");
    a.Emit({0xC8, 0xB1, kStep}); // INY; LDA (step),Y: frequency high
    a.Branch(0xD0, "note");
    a.Emit({0x88, 0xB1, kStep, 0xC8, 0xC9, 0x01}); // DEY; LDA low; INY; CMP #1
    a.Branch(0xD0, "next");                        // 0: hold
    a.Absolute(0xBD, "waves");                     // LDA waves,X: gate off
    a.Emit({0x9D, 0x04, 0xD4});                    // STA $D404,X
    a.Branch(0xD0, "next");                        // (a waveform is never 0)
    a.Mark("note");
    a.Emit({0x9D, 0x01, 0xD4, 0x88, 0xB1, kStep, 0x9D, 0x00, 0xD4, 0xC8});
    a.Absolute(0xBD, "waves"); // gate off, then on: the envelope starts over
    a.Emit({0x9D, 0x04, 0xD4, 0x09, 0x01, 0x9D, 0x04, 0xD4});
    a.Mark("next");
    a.Emit({0xC8, 0x8A, 0x18, 0x69, 0x07, 0xAA, 0xE0, 0x0E}); // INY; X += 7; CPX #14
    a.Branch(0xD0, "voice");
    a.Emit({0x18, 0xA5, kStep, 0x69, 0x04, 0x85, kStep}); // step += 4
    a.Branch(0x90, "done");
    a.Emit({0xE6, kStep + 1});
    a.Mark("done");
    a.Emit({0x60});
}

// The SID's frequency register for a note on a PAL machine.
int SidFrequency(int midi) {
    return static_cast<int>(std::lround(FrequencyOf(midi) * 16777216.0 / 985248.0));
}

void PutVoiceStep(Bytes& out, int step) {
    const int value = step >= 0 ? SidFrequency(step) : step == kRest ? 1 : 0;
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

Bytes StepsOfTune(const LeadAndBass& tune) {
    const std::vector<int> lead = StepsOf(tune.melody), bass = StepsOf(tune.bass);
    Bytes out;
    for (size_t i = 0; i < std::max(lead.size(), bass.size()); ++i) {
        PutVoiceStep(out, i < lead.size() ? lead[i] : kRest);
        PutVoiceStep(out, i < bass.size() ? bass[i] : kRest);
    }
    out.insert(out.end(), {0xFF, 0x00, 0x00, 0x00});
    return out;
}

} // namespace

SidBuilder::SidBuilder(std::string name, std::string author, std::string released)
    : m_name(std::move(name)), m_author(std::move(author)), m_released(std::move(released)) {}

Bytes SidBuilder::Finish() const {
    Assembler a;
    AssembleInit(a);
    AssemblePlay(a);
    a.Mark("waves"); // the control register for each voice: pulse lead, triangle bass
    a.Data({0x40, 0, 0, 0, 0, 0, 0, 0x10});
    a.Mark("speeds");
    for (const LeadAndBass& tune : m_tunes)
        a.Data({static_cast<uint8_t>(tune.framesPerStep), 0});
    a.Mark("tunes");
    for (size_t t = 0; t < m_tunes.size(); ++t)
        a.Pointer("steps" + std::to_string(t));
    for (size_t t = 0; t < m_tunes.size(); ++t) {
        a.Mark("steps" + std::to_string(t));
        a.Data(StepsOfTune(m_tunes[t]));
    }
    Bytes code = a.Link();

    Bytes out(kHeaderSize, 0);
    std::memcpy(out.data(), "PSID", 4);
    PutBe16(out, 0x04, 2);
    PutBe16(out, 0x06, kHeaderSize);
    PutBe16(out, 0x08, 0); // the load address is the data's first two bytes
    PutBe16(out, 0x0A, a.AddressOf("init"));
    PutBe16(out, 0x0C, a.AddressOf("play"));
    PutBe16(out, 0x0E, static_cast<int>(m_tunes.size()));
    PutBe16(out, 0x10, 1);
    std::memcpy(&out[0x16], m_name.data(), std::min<size_t>(m_name.size(), 31));
    std::memcpy(&out[0x36], m_author.data(), std::min<size_t>(m_author.size(), 31));
    std::memcpy(&out[0x56], m_released.data(), std::min<size_t>(m_released.size(), 31));
    PutBe16(out, 0x76, 0x14); // PAL, MOS 6581
    out.push_back(static_cast<uint8_t>(kLoadAddress));
    out.push_back(static_cast<uint8_t>(kLoadAddress >> 8));
    out.insert(out.end(), code.begin(), code.end());
    return out;
}

} // namespace compose
