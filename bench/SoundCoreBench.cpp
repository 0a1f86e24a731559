// Rendering 60 seconds of each demo tune through the core's service path
// (levels, silence detection and WAV writing included) beside libgme's own
// rendering of the same tune. The counter "realtime" is seconds of sound
// rendered per second of CPU time.
#include "RomArchive.h"
#include "SoundCore.h"
#include "TempFolder.h"
#include "VgmValidator.h"

#include <benchmark/benchmark.h>
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

void BM_CoreServicePath(benchmark::State& state) {
    const Tune& tune = kTunes[state.range(0)];
    // The recording goes to memory-backed storage where there is one, so the
    // figure measures the core rather than the disk.
    tarvo::test::TempFolder temp;
    std::string wavPath = std::filesystem::is_directory("/dev/shm")
                              ? "/dev/shm/tarvo-bench-" + std::to_string(getpid()) + ".wav"
                              : temp.File("bench.wav");
    for (auto _ : state) {
        state.PauseTiming();
        tarvocore::CSoundCore core;
        core.SetOption(CORE_OPT_FIXED_RENDER_MS, 30);
        core.Init(&wavPath, Answer, TARVO_CATALOGUE_FOLDER);
        for (int g = 0; g < core.GetInt(CORE_INT_GAME_COUNT, 0); ++g)
            if (std::strcmp(core.GetString(CORE_STR_ROM_NAME, g), tune.romName) == 0)
                core.SetOption(CORE_OPT_GAME, g);
        core.Command(CORE_CMD_START_GAME, tune.clip);
        core.SetOption(CORE_OPT_RECORD, 1);
        state.ResumeTiming();
        for (int frames = 0; frames < kSeconds * 44100; frames += kFramesPerCall)
            core.Render(kFramesPerCall);
        core.Shutdown();
    }
    std::filesystem::remove(wavPath);
    state.SetLabel(tune.romName);
    state.counters["realtime"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CoreServicePath)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_LibgmeAlone(benchmark::State& state) {
    const Tune& tune = kTunes[state.range(0)];
    tarvocore::CRomArchive archive;
    std::string error;
    archive.Open(std::string(TARVO_DEMO_ROMS) + "/" + tune.romName + ".zip", error);
    tarvocore::Bytes data;
    for (const auto& member : archive.Members())
        if (member.name == tune.file) data = tarvocore::CVgmValidator::Check(member.data).data;
    std::vector<short> buffer(kFramesPerCall * 2);
    for (auto _ : state) {
        Music_Emu* emu = nullptr;
        gme_open_data(data.data(), static_cast<long>(data.size()), &emu, 44100);
        gme_ignore_silence(emu, 1);
        gme_start_track(emu, 0);
        for (int frames = 0; frames < kSeconds * 44100; frames += kFramesPerCall)
            gme_play(emu, kFramesPerCall * 2, buffer.data());
        gme_delete(emu);
    }
    state.SetLabel(tune.romName);
    state.counters["realtime"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LibgmeAlone)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
