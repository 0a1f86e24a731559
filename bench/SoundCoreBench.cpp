// SPDX-License-Identifier: GPL-3.0-or-later
// Rendering 60 seconds of a demo tune of each engine through the core's
// service path (levels, silence detection and WAV writing included) beside
// its library's own rendering of the same tune: libgme, libsidplayfp,
// libopenmpt, AdPlug. The counter "realtime" is seconds of sound rendered a
// second; "vs_library" is the library's time over the service path's.
// clang-format off
// Before AdPlug's headers, whose "byte" macro would rename std::byte here.
#include <libopenmpt/libopenmpt.hpp>
// clang-format on

#include "archive/RomArchive.h"
#include "game/VgmValidator.h"
#include "session/SoundCore.h"
#include "support/TempFolder.h"

#include <adplug/adplug.h>
#include <adplug/emuopl.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gme/gme.h>
#include <sidplayfp/builders/resid.h>
#include <sidplayfp/SidConfig.h>
#include <sidplayfp/SidInfo.h>
#include <sidplayfp/sidplayfp.h>
#include <sidplayfp/SidTune.h>
#include <sstream>
#include <unistd.h>

namespace {

constexpr int kSeconds = 60;
constexpr int kFramesPerCall = 1323;

enum class Library { Gme, SidPlayFp, OpenMpt, AdPlug };

struct Tune {
    const char* romName;
    const char* file;
    int clip;
    Library library;
};
constexpr Tune kTunes[] = {{"tarvoquest", "01 Overture.vgm", 1, Library::Gme},
                           {"pixelracer", "00 Neon Highway.vgz", 0, Library::Gme},
                           {"starmoth", "02 Hive Queen.vgm", 2, Library::Gme},
                           {"cometminer", "01 Surface.sid", 1, Library::SidPlayFp},
                           {"tiderunner", "tiderunner.mod", 0, Library::OpenMpt},
                           {"embercrypt", "01 Torchlit Halls.imf", 1, Library::AdPlug}};

int Answer(void* user, int code, void* first, int) {
    if (code == CORE_MSG_ROM_PATH) {
        const std::string path =
            std::string(TARVO_DEMO_ROMS) + "/" + static_cast<const char*>(first);
        std::memcpy(first, path.c_str(), path.size() + 1);
        return 1;
    }
    if (code == CORE_MSG_WAV_PATH) {
        const std::string& path = *static_cast<std::string*>(user);
        std::memcpy(first, path.c_str(), path.size() + 1);
    }
    return 0;
}

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

tarvocore::Bytes TuneData(const Tune& tune) {
    tarvocore::CRomArchive archive;
    std::string error;
    archive.Open(std::string(TARVO_DEMO_ROMS) + "/" + tune.romName + ".zip", error);
    for (const auto& member : archive.Members())
        if (member.name == tune.file)
            return tune.library == Library::Gme ? tarvocore::CVgmValidator::Check(member.data).data
                                                : member.data;
    return {};
}

constexpr int kFrames = kSeconds * 44100;

// Each library renders the tune's first minute as the core's engine asks it to.
void RenderWithLibgme(const tarvocore::Bytes& data, std::vector<short>& buffer) {
    Music_Emu* emu = nullptr;
    gme_open_data(data.data(), static_cast<long>(data.size()), &emu, 44100);
    gme_ignore_silence(emu, 1);
    gme_start_track(emu, 0);
    for (int frames = 0; frames < kFrames; frames += kFramesPerCall)
        gme_play(emu, kFramesPerCall * 2, buffer.data());
    gme_delete(emu);
}

void RenderWithSidPlayFp(const tarvocore::Bytes& data, std::vector<short>& buffer) {
    SidTune tune(data.data(), static_cast<uint_least32_t>(data.size()));
    tune.selectSong(1);
    sidplayfp player;
    ReSIDBuilder builder("bench");
    builder.create(player.info().maxsids());
    SidConfig config;
    config.frequency = 44100;
    config.playback = SidConfig::MONO;
    config.samplingMethod = SidConfig::INTERPOLATE;
    config.fastSampling = true;
    config.sidEmulation = &builder;
    player.config(config);
    player.load(&tune);
    for (int frames = 0; frames < kFrames; frames += kFramesPerCall)
        player.play(buffer.data(), kFramesPerCall);
}

void RenderWithOpenMpt(const tarvocore::Bytes& data, std::vector<short>& buffer) {
    std::ostringstream log;
    openmpt::module module(data.data(), data.size(), log);
    module.set_repeat_count(-1);
    for (int frames = 0; frames < kFrames; frames += kFramesPerCall)
        module.read_interleaved_stereo(44100, kFramesPerCall, buffer.data());
}

void RenderWithAdPlug(const std::string& path, std::vector<short>& buffer) {
    CEmuopl opl(44100, true, false);
    std::unique_ptr<CPlayer> player(CAdPlug::factory(path, &opl));
    double untilUpdate = 0;
    for (int frames = 0; frames < kFrames;) {
        if (untilUpdate <= 0) {
            player->update();
            untilUpdate += 44100 / player->getrefresh();
        }
        const int now = std::min(kFramesPerCall, std::max(1, static_cast<int>(untilUpdate)));
        opl.update(buffer.data(), now);
        frames += now;
        untilUpdate -= now;
    }
}

// AdPlug reads its files by name.
std::string AdPlugFile(const Tune& tune, const tarvocore::Bytes& data) {
    const std::string path = "/tmp/tarvo-bench-" + std::to_string(getpid()) + "-" + tune.file;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<long>(data.size()));
    return path;
}

class LibraryRun {
public:
    explicit LibraryRun(const Tune& tune)
        : m_tune(tune), m_data(TuneData(tune)), m_buffer(kFramesPerCall * 2),
          m_path(tune.library == Library::AdPlug ? AdPlugFile(tune, m_data) : "") {}
    ~LibraryRun() {
        if (!m_path.empty()) std::filesystem::remove(m_path);
    }
    void Render() {
        switch (m_tune.library) {
        case Library::Gme:
            return RenderWithLibgme(m_data, m_buffer);
        case Library::SidPlayFp:
            return RenderWithSidPlayFp(m_data, m_buffer);
        case Library::OpenMpt:
            return RenderWithOpenMpt(m_data, m_buffer);
        case Library::AdPlug:
            return RenderWithAdPlug(m_path, m_buffer);
        }
    }

private:
    const Tune& m_tune;
    tarvocore::Bytes m_data;
    std::vector<short> m_buffer;
    std::string m_path;
};

double TimeLibraryRun(LibraryRun& run) {
    const auto start = std::chrono::steady_clock::now();
    run.Render();
    return Seconds(start);
}

// The core rendering offline, as fast as it goes, with the tune's game
// loaded and `clip` started (-1: none); `answer` answers its requests and
// messages, with `user`.
void StartGame(tarvocore::CSoundCore& core, const char* romName, void* user,
               int (*answer)(void*, int, void*, int), int clip) {
    core.SetOption(CORE_OPT_FIXED_RENDER_MS, 30);
    core.SetEmulatorProgram(TARVO_EMULATOR);
    core.Init(user, answer, TARVO_CATALOGUE_FOLDER);
    for (int g = 0; g < core.GetInt(CORE_INT_GAME_COUNT, 0); ++g)
        if (std::strcmp(core.GetString(CORE_STR_ROM_NAME, g), romName) == 0)
            core.SetOption(CORE_OPT_GAME, g);
    core.Command(CORE_CMD_START_GAME, clip);
}

// Second argument 1: recording, as REC does, every frame written to a WAV
// file; 0: playing only.
void BM_CoreServicePath(benchmark::State& state) {
    const Tune& tune = kTunes[state.range(0)];
    const bool recording = state.range(1) == 1;
    // The recording goes to memory-backed storage where there is one, so the
    // figure measures the core rather than the disk.
    tarvo::test::TempFolder temp;
    std::string wavPath = std::filesystem::is_directory("/dev/shm")
                              ? "/dev/shm/tarvo-bench-" + std::to_string(getpid()) + ".wav"
                              : temp.File("bench.wav");
    tarvocore::CSoundCore core;
    StartGame(core, tune.romName, &wavPath, Answer, -1);
    LibraryRun library(tune);
    double fastest = 1e9, libraryFastest = 1e9;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        core.SetOption(CORE_OPT_RECORD, recording ? 1 : 0);
        core.Command(CORE_CMD_PLAY_CLIP, tune.clip);
        core.Command(CORE_CMD_RESUME, 0);
        for (int frames = 0; frames < kSeconds * 44100; frames += kFramesPerCall)
            core.Render(kFramesPerCall);
        core.SetOption(CORE_OPT_RECORD, 0);
        const double took = Seconds(start);
        state.SetIterationTime(took);
        fastest = std::min(fastest, took);
        // Saved or thrown away, as a user does, before the next take: not the
        // next take's work of truncating it.
        std::filesystem::remove(wavPath);
        // The library's run right after, so both meet the machine in the same mood.
        libraryFastest = std::min(libraryFastest, TimeLibraryRun(library));
    }
    core.Shutdown();
    std::filesystem::remove(wavPath);
    state.SetLabel(std::string(tune.romName) + (recording ? ", recording" : ""));
    const double seconds = kSeconds * static_cast<double>(state.iterations());
    state.counters["realtime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
    // The fastest run beside the library's fastest, taken in turns on the
    // same machine: the ratio that neighbours on a shared machine disturb least.
    state.counters["vs_library"] = libraryFastest / fastest;
}
// Wall time of the path alone: the emulator renders in a process of its own,
// whose CPU time the benchmark's own clock would not see.
BENCHMARK(BM_CoreServicePath)
    ->ArgsProduct({benchmark::CreateDenseRange(0, std::size(kTunes) - 1, 1), {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// A seek one minute into a tune that plays on (its known length set aside),
// beside the library rendering that minute: a seek is the library's own
// jump, or that minute run unheard, so it is never slower than the latter.
void BM_SeekOneMinute(benchmark::State& state) {
    const Tune& tune = kTunes[state.range(0)];
    std::string unused;
    tarvocore::CSoundCore core;
    core.SetOption(CORE_OPT_END_AT_LENGTH, 0);
    StartGame(core, tune.romName, &unused, Answer, tune.clip);
    core.Command(CORE_CMD_RESUME, 0);
    LibraryRun library(tune);
    double fastest = 1e9, libraryFastest = 1e9;
    for (auto _ : state) {
        core.Command(CORE_CMD_SEEK, 0);
        const auto start = std::chrono::steady_clock::now();
        core.Command(CORE_CMD_SEEK, kSeconds * 1000);
        const double took = Seconds(start);
        state.SetIterationTime(took);
        fastest = std::min(fastest, took);
        libraryFastest = std::min(libraryFastest, TimeLibraryRun(library));
    }
    core.Shutdown();
    state.SetLabel(tune.romName);
    state.counters["seek_ms"] = fastest * 1000;
    state.counters["vs_library_minute"] = libraryFastest / fastest;
}
BENCHMARK(BM_SeekOneMinute)
    ->DenseRange(0, std::size(kTunes) - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// What a listener does a minute into a tune of each engine, the arcade chips
// included: a voice muted, and a seek back to a place already heard. A mute
// is timed until it is heard: the call, then the sound rendered before every
// voice falls below -40 dBFS, as long as it would play on a device (an
// engine that would replay the tune to go back is spared the replay, and
// plays out what it rendered ahead). Each is timed beside a minute played
// unheard from the start, what either cost when it replayed the tune:
// "vs_replay" is that minute's time over the action's.
struct Listened {
    const char* romName;
    int clip;
};
constexpr Listened kListened[] = {{"tarvoquest", 1}, {"cometminer", 1}, {"tiderunner", 0},
                                  {"embercrypt", 1}, {"neondragon", 1}, {"coastrider", 2}};

class ListeningRun {
public:
    explicit ListeningRun(const Listened& tune) {
        m_core.SetOption(CORE_OPT_END_AT_LENGTH, 0);
        StartGame(m_core, tune.romName, this, &ListeningRun::Heard, tune.clip);
        m_core.Command(CORE_CMD_RESUME, 0);
        Render(kFrames);
    }
    ~ListeningRun() { m_core.Shutdown(); }
    tarvocore::CSoundCore& Core() { return m_core; }
    void Render(int frames) {
        for (int done = 0; done < frames; done += kFramesPerCall)
            m_core.Render(kFramesPerCall);
    }
    // The action's time, and the seconds of sound it says a listener waits
    // on top (the sound already rendered, played out).
    template <typename Action> double Time(Action action) {
        const auto start = std::chrono::steady_clock::now();
        const double playedOut = action(*this);
        return Seconds(start) + playedOut;
    }
    // From the start to the minute, unheard.
    double Replay() {
        m_core.Command(CORE_CMD_SEEK, 0);
        return Time([](ListeningRun& run) {
            run.Core().Command(CORE_CMD_SEEK, kSeconds * 1000);
            return 0.0;
        });
    }
    // Seconds of sound from now until it falls below -40 dBFS, at most `most`.
    double SoundingFor(double most) {
        int reports = 0;
        for (m_loud = true; m_loud && reports * kReportSeconds < most; ++reports)
            m_core.Render(tarvocore::CSoundCore::kLevelReportFrames);
        return reports * kReportSeconds;
    }

private:
    static constexpr double kReportSeconds = tarvocore::CSoundCore::kLevelReportFrames / 44100.0;
    static int Heard(void* user, int code, void* first, int second) {
        auto& run = *static_cast<ListeningRun*>(user);
        if (code == CORE_MSG_LEVELS) {
            const auto* frames = static_cast<const int16_t*>(first);
            double sum = 0;
            for (int i = 0; i < 2 * second; ++i)
                sum += double(frames[i]) * frames[i];
            run.m_loud = std::sqrt(sum / (2 * second)) >= 328;
            return 0;
        }
        return Answer(nullptr, code, first, second);
    }

    tarvocore::CSoundCore m_core;
    bool m_loud = false;
};

template <typename Action, typename Undo>
void BenchListening(benchmark::State& state, const char* counter, Action action, Undo undo) {
    const Listened& tune = kListened[state.range(0)];
    ListeningRun run(tune);
    double fastest = 1e9, replayFastest = 1e9;
    for (auto _ : state) {
        const double took = run.Time(action);
        state.SetIterationTime(took);
        fastest = std::min(fastest, took);
        run.Time(undo);
        replayFastest = std::min(replayFastest, run.Replay());
    }
    state.SetLabel(tune.romName);
    state.counters[counter] = fastest * 1000;
    state.counters["vs_replay"] = replayFastest / fastest;
}

void BM_MuteAtOneMinute(benchmark::State& state) {
    BenchListening(
        state, "heard_ms",
        [](ListeningRun& run) {
            run.Core().Command(CORE_CMD_MUTE_VOICE, -1);
            return run.SoundingFor(5); // what plays on after the call
        },
        [](ListeningRun& run) {
            run.Core().Command(CORE_CMD_UNMUTE_VOICE, -1);
            run.Render(44100);
            return 0.0;
        });
}
BENCHMARK(BM_MuteAtOneMinute)
    ->DenseRange(0, std::size(kListened) - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

void BM_SeekBackHalfAMinute(benchmark::State& state) {
    BenchListening(
        state, "seek_ms",
        [](ListeningRun& run) {
            run.Core().Command(CORE_CMD_SEEK, kSeconds * 500);
            return 0.0;
        },
        [](ListeningRun& run) {
            run.Core().Command(CORE_CMD_SEEK, kSeconds * 1000);
            return 0.0;
        });
}
BENCHMARK(BM_SeekBackHalfAMinute)
    ->DenseRange(0, std::size(kListened) - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

void BM_LibraryAlone(benchmark::State& state) {
    const Tune& tune = kTunes[state.range(0)];
    LibraryRun run(tune);
    for (auto _ : state)
        run.Render();
    state.SetLabel(tune.romName);
    state.counters["realtime"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LibraryAlone)
    ->DenseRange(0, std::size(kTunes) - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
