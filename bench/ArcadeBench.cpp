// SPDX-License-Identifier: GPL-3.0-or-later
// The arcade engine, this core's own, rendering a minute of each chip's
// music beside libgme rendering a minute of its YM2612, the nearest chip it
// plays. "realtime" is seconds of sound a second (the engine's target is at
// least 50); "vs_libgme_ym2612" is libgme's time over the engine's. The
// resampling alone (libsoxr, a minute of a chip's sound at its rate) is
// measured beside a whole YM2151 + OKIM6295 tune: "share_of_engine" is its
// time over the tune's, the tune's own resampling included.
#include "archive/RomArchive.h"
#include "chips/ChipResampler.h"
#include "engines/VgmEngine.h"
#include "game/VgmValidator.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <gme/gme.h>

namespace {

using tarvocore::Bytes;

constexpr int kSeconds = 60;
constexpr int kFramesPerCall = 1323;

void PutLe(Bytes& data, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        data[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// A VGM 1.71 header giving a chip its clock, the commands to follow.
Bytes Header(size_t clockAt, uint32_t clock) {
    Bytes vgm(0x100, 0);
    std::copy_n("Vgm ", 4, vgm.begin());
    PutLe(vgm, 0x08, 0x171);
    PutLe(vgm, 0x34, 0x100 - 0x34);
    PutLe(vgm, clockAt, clock);
    return vgm;
}

// The commands so far held for a minute, then the end and the sizes.
Bytes HeldForAMinute(Bytes vgm) {
    for (int second = 0; second < kSeconds; ++second)
        vgm.insert(vgm.end(), {0x61, 0x44, 0xAC});
    vgm.push_back(0x66);
    PutLe(vgm, 0x04, static_cast<uint32_t>(vgm.size() - 4));
    PutLe(vgm, 0x18, kSeconds * 44100);
    return vgm;
}

// A minute of chords on an FM chip: every channel keyed with a plain patch,
// written with `write` (0x52 and 0x53 for the YM2612's two ports, 0x55 for
// the YM2203, 0x58 and 0x59 the YM2610's), its clock at `clockAt`.
Bytes FmMinute(size_t clockAt, uint32_t clock, std::initializer_list<uint8_t> ports, int keyOn) {
    Bytes vgm = Header(clockAt, clock);
    for (uint8_t port : ports) {
        for (uint8_t reg = 0x30; reg < 0x90; ++reg)
            vgm.insert(vgm.end(), {port, reg,
                                   static_cast<uint8_t>(reg < 0x40   ? 0x01
                                                        : reg < 0x50 ? 0x10
                                                        : reg < 0x60 ? 0x1F
                                                                     : 0x05)});
        for (uint8_t channel = 0; channel < 3; ++channel) {
            vgm.insert(vgm.end(), {port, static_cast<uint8_t>(0xB0 + channel), 0x3C});
            vgm.insert(vgm.end(), {port, static_cast<uint8_t>(0xA4 + channel), 0x22});
            vgm.insert(vgm.end(), {port, static_cast<uint8_t>(0xA0 + channel),
                                   static_cast<uint8_t>(0x69 + 40 * channel)});
        }
    }
    for (int channel = 0; channel < keyOn; ++channel)
        vgm.insert(vgm.end(),
                   {*ports.begin(), 0x28, static_cast<uint8_t>(0xF0 | (channel + channel / 3))});
    return HeldForAMinute(std::move(vgm));
}

// A VGM of a minute from its header's clock, a ROM in one data block (none
// when empty), and chip commands.
Bytes RomMinute(size_t clockAt, uint32_t clock, uint8_t romType, const Bytes& rom,
                const std::vector<Bytes>& writes) {
    Bytes vgm = Header(clockAt, clock);
    if (!rom.empty()) {
        vgm.insert(vgm.end(), {0x67, 0x66, romType});
        const size_t sizeAt = vgm.size();
        vgm.resize(vgm.size() + 12);
        PutLe(vgm, sizeAt, static_cast<uint32_t>(8 + rom.size()));
        PutLe(vgm, sizeAt + 4, static_cast<uint32_t>(rom.size()));
        vgm.insert(vgm.end(), rom.begin(), rom.end());
    }
    for (const auto& write : writes)
        vgm.insert(vgm.end(), write.begin(), write.end());
    return HeldForAMinute(std::move(vgm));
}

// The K053260's four voices looping ADPCM.
Bytes K053260Minute() {
    std::vector<Bytes> writes;
    for (uint8_t voice = 0; voice < 4; ++voice)
        for (auto [reg, value] :
             {std::pair<uint8_t, uint8_t>{0, 0x00}, {1, 0x0C}, {2, 0xFF}, {3, 0x0F}, {7, 0x7F}})
            writes.push_back({0xBA, static_cast<uint8_t>(0x08 + 8 * voice + reg),
                              static_cast<uint8_t>(value + 16 * voice * (reg == 0))});
    for (auto [reg, value] : {std::pair<uint8_t, uint8_t>{0x2A, 0xFF},
                              {0x2C, 0x24},
                              {0x2D, 0x24},
                              {0x2F, 0x02},
                              {0x28, 0x0F}})
        writes.push_back({0xBA, reg, value});
    return RomMinute(0xAC, 3579545, 0x8E, Bytes(0x1000, 0x1F), writes);
}

// The C140's 24 voices looping compressed bytes, each at its own rate.
Bytes C140Minute() {
    Bytes rom(0x1000);
    for (size_t i = 0; i < rom.size(); ++i)
        rom[i] = static_cast<uint8_t>(i * 37);
    std::vector<Bytes> writes;
    for (uint8_t voice = 0; voice < 24; ++voice) {
        const uint8_t values[12] = {
            0x80, 0x80, static_cast<uint8_t>(0x20 + voice), 0, 0, 0, 0x00, 0x00, 0x0F, 0xFF,
            0x00, 0x00};
        const auto high = static_cast<uint8_t>(voice >> 4);
        for (uint8_t reg = 0; reg < 12; ++reg)
            writes.push_back({0xD4, high, static_cast<uint8_t>(voice << 4 | reg), values[reg]});
        writes.push_back({0xD4, high, static_cast<uint8_t>(voice << 4 | 5), 0x98});
    }
    return RomMinute(0xA8, 21390, 0x8D, rom, writes);
}

// The uPD7759 speaking one long phrase of 256-nibble blocks at 4 kHz.
Bytes Upd7759Minute() {
    Bytes rom(0x11, 0);
    rom[6] = 0x08; // phrase 0 at word 8; its first byte is passed over
    while (rom.size() + 129 < 0x20000) {
        rom.push_back(0x40 | 39);
        for (int i = 0; i < 128; ++i)
            rom.push_back(static_cast<uint8_t>(0x17 + rom.size() * 13));
    }
    return RomMinute(0x8C, 640000, 0x8A, rom,
                     {{0xB6, 0x02, 0x00}, {0xB6, 0x01, 0x01}, {0xB6, 0x01, 0x00}});
}

// Nine OPL channels keyed with a plain patch through `command`, sounding on
// both sides of an OPL3.
std::vector<Bytes> OplChords(uint8_t command) {
    std::vector<Bytes> writes;
    for (uint8_t channel = 0; channel < 9; ++channel) {
        const auto slot = static_cast<uint8_t>(channel / 3 * 8 + channel % 3);
        for (auto [reg, value] : {std::pair<uint8_t, uint8_t>{0x20, 0x21},
                                  {0x23, 0x21},
                                  {0x40, 0x10},
                                  {0x43, 0x00},
                                  {0x60, 0xF0},
                                  {0x63, 0xF0}})
            writes.push_back({command, static_cast<uint8_t>(reg + slot), value});
        writes.push_back({command, static_cast<uint8_t>(0xC0 + channel), 0x30});
        writes.push_back({command, static_cast<uint8_t>(0xA0 + channel),
                          static_cast<uint8_t>(0x44 + 20 * channel)});
        writes.push_back({command, static_cast<uint8_t>(0xB0 + channel), 0x32});
    }
    return writes;
}

// The Y8950's nine FM channels keyed and its ADPCM looping.
Bytes Y8950Minute() {
    std::vector<Bytes> writes = OplChords(0x5C);
    for (auto [reg, value] : {std::pair<uint8_t, uint8_t>{0x0B, 0x7F},
                              {0x0C, 0x00},
                              {0x11, 0x40},
                              {0x12, 0xFF},
                              {0x07, 0x90}})
        writes.push_back({0x5C, reg, value});
    return RomMinute(0x58, 3579545, 0x88, Bytes(0x1000, 0x17), writes);
}

// The YMF262's eighteen channels keyed, its OPL3 mode on.
Bytes Ymf262Minute() {
    std::vector<Bytes> writes = {{0x5F, 0x05, 0x01}};
    for (uint8_t port : {uint8_t{0x5E}, uint8_t{0x5F}})
        for (Bytes& write : OplChords(port))
            writes.push_back(std::move(write));
    return RomMinute(0x5C, 14318180, 0x00, {}, writes);
}

// The AY-3-8910's three squares.
Bytes Ay8910Minute() {
    std::vector<Bytes> writes = {{0xA0, 0x07, 0x38}};
    for (uint8_t channel = 0; channel < 3; ++channel) {
        writes.push_back(
            {0xA0, static_cast<uint8_t>(2 * channel), static_cast<uint8_t>(200 + 20 * channel)});
        writes.push_back({0xA0, static_cast<uint8_t>(8 + channel), 0x0F});
    }
    return RomMinute(0x74, 1789772, 0x00, {}, writes);
}

Bytes DemoTune(const char* romName, const char* file) {
    tarvocore::CRomArchive archive;
    std::string error;
    archive.Open(std::string(TARVO_DEMO_ROMS) + "/" + romName + ".zip", error);
    for (const auto& member : archive.Members())
        if (member.name == file) return member.data;
    return {};
}

double LibgmeMinute(const Bytes& ym2612) {
    const auto start = std::chrono::steady_clock::now();
    Music_Emu* emu = nullptr;
    gme_open_data(ym2612.data(), static_cast<long>(ym2612.size()), &emu, 44100);
    gme_ignore_silence(emu, 1);
    gme_start_track(emu, 0);
    std::vector<short> buffer(kFramesPerCall * 2);
    for (int frames = 0; frames < kSeconds * 44100; frames += kFramesPerCall)
        gme_play(emu, kFramesPerCall * 2, buffer.data());
    gme_delete(emu);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seconds the engine takes to render a minute of `tune`.
double EngineMinute(const Bytes& tune) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<int16_t> frames(kFramesPerCall * 2);
    tarvocore::CVgmEngine engine;
    std::string error;
    engine.Open(tune, {}, error);
    engine.Start(0, error);
    for (int done = 0; done < kSeconds * 44100; done += kFramesPerCall)
        engine.Render(frames.data(), kFramesPerCall);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ArcadeEngine(benchmark::State& state) {
    const Bytes ym2612 =
        tarvocore::CVgmValidator::Check(FmMinute(0x2C, 7670453, {0x52, 0x53}, 6)).data;
    Bytes tune;
    switch (state.range(0)) {
    case 0:
        tune = DemoTune("neondragon", "01 Dragon Gate.vgm");
        state.SetLabel("YM2151 + OKIM6295");
        break;
    case 1:
        tune = DemoTune("coastrider", "01 Sunset Boulevard.vgm");
        state.SetLabel("YM2151 + SegaPCM");
        break;
    case 2:
        tune = FmMinute(0x44, 4000000, {0x55}, 3);
        state.SetLabel("YM2203");
        break;
    case 3: // the same minute as libgme's, the engine's YM2612 beside a silent YM2151
        tune = FmMinute(0x2C, 7670453, {0x52, 0x53}, 6);
        PutLe(tune, 0x30, 3579545);
        state.SetLabel("YM2612");
        break;
    case 4:
        tune = FmMinute(0x4C, 8000000u | 1u << 31, {0x58, 0x59}, 6);
        state.SetLabel("YM2610B, six FM channels");
        break;
    case 5:
        tune = DemoTune("stormblade", "01 Thunder Pass.vgm");
        state.SetLabel("YM2610 (FM, SSG, ADPCM-A)");
        break;
    case 6:
        tune = DemoTune("ironwing", "01 Sky Fortress.vgm");
        state.SetLabel("YM3812 + OKIM6295");
        break;
    case 7:
        tune = Y8950Minute();
        state.SetLabel("Y8950, nine FM channels and its ADPCM");
        break;
    case 8:
        tune = K053260Minute();
        state.SetLabel("K053260, four ADPCM voices");
        break;
    case 9:
        tune = Ymf262Minute();
        state.SetLabel("YMF262, eighteen FM channels");
        break;
    case 10:
        tune = Ay8910Minute();
        state.SetLabel("AY-3-8910, three squares");
        break;
    case 11:
        tune = C140Minute();
        state.SetLabel("C140, 24 compressed voices");
        break;
    default:
        tune = Upd7759Minute();
        state.SetLabel("uPD7759, ADPCM at 4 kHz");
        break;
    }
    double fastest = 1e9, libgmeFastest = 1e9;
    for (auto _ : state) {
        const double took = EngineMinute(tune);
        state.SetIterationTime(took);
        fastest = std::min(fastest, took);
        libgmeFastest = std::min(libgmeFastest, LibgmeMinute(ym2612));
    }
    state.counters["realtime"] = kSeconds / fastest;
    state.counters["vs_libgme_ym2612"] = libgmeFastest / fastest;
}
BENCHMARK(BM_ArcadeEngine)->DenseRange(0, 12)->Unit(benchmark::kMillisecond)->UseManualTime();

template <typename Work> double SecondsOf(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_ChipResampler(benchmark::State& state) {
    const int rate = static_cast<int>(state.range(0));
    const Bytes tune = DemoTune("neondragon", "01 Dragon Gate.vgm");
    double fastest = 1e9, engineFastest = 1e9;
    for (auto _ : state) {
        const double took = SecondsOf([rate] {
            tarvocore::CChipResampler resampler;
            resampler.Start(rate, 0);
            for (long done = 0; done < static_cast<long>(kSeconds) * rate; done += 1024) {
                for (int i = 0; i < 1024; ++i) { // a chord's worth of movement
                    const float sample = static_cast<float>((done + i) % 97 * 300 - 14000);
                    resampler.Input().insert(resampler.Input().end(), {sample, sample});
                }
                resampler.Process();
                resampler.Take(resampler.Ready());
            }
        });
        state.SetIterationTime(took);
        fastest = std::min(fastest, took);
        engineFastest = std::min(engineFastest, EngineMinute(tune));
    }
    state.SetLabel(std::to_string(rate) + " Hz");
    state.counters["realtime"] = kSeconds / fastest;
    state.counters["share_of_engine"] = fastest / engineFastest;
}
BENCHMARK(BM_ChipResampler)
    ->Arg(55930) // YM2151 at 3.58 MHz
    ->Arg(31250) // SegaPCM at 4 MHz
    ->Arg(8000)  // OKIM6295 at 1.056 MHz, pin 7 high
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

} // namespace

BENCHMARK_MAIN();
