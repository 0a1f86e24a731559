// Rendering 60 seconds of each demo tune through the core's service path
// (levels, silence detection and WAV writing included) beside libgme's own
// rendering of the same tune. The counter "realtime" is seconds of sound
// rendered per second of CPU time.
#include "RomArchive.h"
#include "SoundCore.h"
#include "TempFolder.h"
#include "VgmValidator.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <gme/gme.h>
#include <unistd.h>

namespace {

constexpr int kSeconds = 60;
constexpr int kFramesPerCall = 1323;

struct Tune {
    const char* romName;
    const char* file;
    int clip;
};
constexpr Tune kTunes[] = {{"tarvoquest", "01 Overture.vgm", 1},
                           {"pixelracer", "00 Neon Highway.vgz", 0},
                           {"starmoth", "02 Hive Queen.vgm", 2}};

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

// The fastest of several renderings of the tune's first minute with libgme
// alone in this process, in seconds: the yardstick of the service path.
double LibgmeFastest(const Tune& tune);

void BM_CoreServicePath(benchmark::State& state) {
    const Tune& tune = kTunes[state.range(0)];
    // The recording goes to memory-backed storage where there is one, so the
    // figure measures the core rather than the disk.
    tarvo::test::TempFolder temp;
    std::string wavPath = std::filesystem::is_directory("/dev/shm")
                              ? "/dev/shm/tarvo-bench-" + std::to_string(getpid()) + ".wav"
                              : temp.File("bench.wav");
    tarvocore::CSoundCore core;
    core.SetOption(CORE_OPT_FIXED_RENDER_MS, 30);
    core.SetEmulatorProgram(TARVO_EMULATOR);
    core.Init(&wavPath, Answer, TARVO_CATALOGUE_FOLDER);
    for (int g = 0; g < core.GetInt(CORE_INT_GAME_COUNT, 0); ++g)
        if (std::strcmp(core.GetString(CORE_STR_ROM_NAME, g), tune.romName) == 0)
            core.SetOption(CORE_OPT_GAME, g);
    core.Command(CORE_CMD_START_GAME, -1);
    double fastest = 1e9;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        // As REC does: the clip from its start, every frame written to the file.
        core.SetOption(CORE_OPT_RECORD, 1);
        core.Command(CORE_CMD_PLAY_CLIP, tune.clip);
        core.Command(CORE_CMD_RESUME, 0);
        for (int frames = 0; frames < kSeconds * 44100; frames += kFramesPerCall)
            core.Render(kFramesPerCall);
        core.SetOption(CORE_OPT_RECORD, 0);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        fastest = std::min(fastest, took.count());
    }
    core.Shutdown();
    std::filesystem::remove(wavPath);
    state.SetLabel(tune.romName);
    const double seconds = kSeconds * static_cast<double>(state.iterations());
    state.counters["realtime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
    // The fastest run beside libgme's fastest, measured now on the same
    // machine: the ratio that neighbours on a shared machine disturb least.
    state.counters["vs_libgme"] = LibgmeFastest(tune) / fastest;
}
// Wall time: the emulator renders in a process of its own, whose CPU time
// the benchmark's own clock would not see.
BENCHMARK(BM_CoreServicePath)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

tarvocore::Bytes TuneData(const Tune& tune) {
    tarvocore::CRomArchive archive;
    std::string error;
    archive.Open(std::string(TARVO_DEMO_ROMS) + "/" + tune.romName + ".zip", error);
    for (const auto& member : archive.Members())
        if (member.name == tune.file) return tarvocore::CVgmValidator::Check(member.data).data;
    return {};
}

// Renders the tune's first minute with libgme the way the core's emulator does.
void RenderWithLibgme(const tarvocore::Bytes& data, std::vector<short>& buffer) {
    Music_Emu* emu = nullptr;
    gme_open_data(data.data(), static_cast<long>(data.size()), &emu, 44100);
    gme_ignore_silence(emu, 1);
    gme_start_track(emu, 0);
    for (int frames = 0; frames < kSeconds * 44100; frames += kFramesPerCall)
        gme_play(emu, kFramesPerCall * 2, buffer.data());
    gme_delete(emu);
}

double LibgmeFastest(const Tune& tune) {
    const tarvocore::Bytes data = TuneData(tune);
    std::vector<short> buffer(kFramesPerCall * 2);
    double fastest = 1e9;
    for (int run = 0; run < 30; ++run) {
        const auto start = std::chrono::steady_clock::now();
        RenderWithLibgme(data, buffer);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        fastest = std::min(fastest, took.count());
    }
    return fastest;
}

void BM_LibgmeAlone(benchmark::State& state) {
    const Tune& tune = kTunes[state.range(0)];
    const tarvocore::Bytes data = TuneData(tune);
    std::vector<short> buffer(kFramesPerCall * 2);
    for (auto _ : state)
        RenderWithLibgme(data, buffer);
    state.SetLabel(tune.romName);
    state.counters["realtime"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LibgmeAlone)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
