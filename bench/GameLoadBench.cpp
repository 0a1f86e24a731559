// SPDX-License-Identifier: GPL-3.0-or-later
// Slow games' loads as the player meets them: twenty AdLib songs whose player
// never finishes a tick, each using up the emulator's limit; and a hundred
// VGZ tunes that each inflate to nearly 16 MiB. "longest_call_ms" is the
// longest the caller's thread waited in one core call (the window's longest
// stall); "stall_vs_blocking" sets it beside the same load made in one
// blocking call, as a tool makes it, measured in the same run.
#include "session/SoundCore.h"
#include "soundcore/SoundCoreFixture.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct Loading {
    std::string roms;
    bool told = false; // message 1 or 4 arrived
};

int Answer(void* user, int code, void* first, int) {
    auto& loading = *static_cast<Loading*>(user);
    if (code == CORE_MSG_ROM_PATH) {
        const std::string path = loading.roms + static_cast<const char*>(first);
        std::memcpy(first, path.c_str(), path.size() + 1);
        return 1;
    }
    if (code == CORE_MSG_GAME_LOADED || code == CORE_MSG_LOAD_FAILED) loading.told = true;
    return 0;
}

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// Loads the slow game, plays its first clip, and returns the longest single
// call; with `blocking` the core finishes the load inside its start call and
// waits for every block of sound, as a rendering tool has it do.
struct Waits {
    double longestMs = 0; // the longest single call
    double loadSeconds = 0;
};

Waits LongestCall(const tarvo::test::TempFolder& temp, Loading& loading, bool blocking) {
    tarvocore::CSoundCore core;
    core.SetEmulatorProgram(TARVO_EMULATOR);
    core.Init(&loading, Answer, temp.Path());
    core.SetOption(CORE_OPT_FIXED_RENDER_MS, blocking ? 30 : 0);
    core.SetOption(CORE_OPT_GAME, 0);
    loading.told = false;
    const Clock::time_point loadStart = Clock::now();
    Clock::time_point start = loadStart;
    core.Command(CORE_CMD_START_GAME, -1);
    Clock::duration longest = Clock::now() - start;
    while (!loading.told) {
        std::this_thread::sleep_for(std::chrono::milliseconds(30)); // the player's timer
        start = Clock::now();
        core.Command(CORE_CMD_SERVICE, 0);
        longest = std::max(longest, Clock::now() - start);
    }
    const double loadSeconds = Milliseconds(Clock::now() - loadStart) / 1000;
    // Then its first clip, for a second and a half.
    start = Clock::now();
    core.Command(CORE_CMD_RESUME, 0);
    core.Command(CORE_CMD_PLAY_CLIP, 1);
    longest = std::max(longest, Clock::now() - start);
    for (int tick = 0; tick < 50; ++tick) {
        if (!blocking) std::this_thread::sleep_for(std::chrono::milliseconds(30));
        start = Clock::now();
        core.Command(CORE_CMD_SERVICE, 0);
        longest = std::max(longest, Clock::now() - start);
    }
    core.Shutdown();
    return {Milliseconds(longest), loadSeconds};
}

std::vector<tarvo::test::ZipMember> SlowAdLibGame() {
    std::ifstream in(std::string(TARVO_TEST_DATA) + "/hostile/adlib-midi-tick-that-never-ends.cmf",
                     std::ios::binary);
    const tarvo::test::Bytes song((std::istreambuf_iterator<char>(in)), {});
    std::vector<tarvo::test::ZipMember> members;
    for (int n = 1; n <= 20; ++n)
        members.push_back({std::to_string(n) + " Song.cmf", song});
    return members;
}

std::vector<tarvo::test::ZipMember> LargeVgzGame() {
    const tarvo::test::Bytes tune = compose::Gzip(tarvo::test::ToneVgm(16'000'000, false));
    std::vector<tarvo::test::ZipMember> members;
    for (int n = 1; n <= 100; ++n)
        members.push_back({std::to_string(n) + " Tune.vgz", tune});
    return members;
}

void BM_LongestStallWhileASlowGameLoads(benchmark::State& state) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    tarvo::test::TempFolder temp;
    temp.Write(tarvocore::CCatalogue::kFileName, "slow | Slow | M | 1 | D\n");
    Loading loading{temp.MakeFolder("roms")};
    tarvo::test::WriteZip(loading.roms + "slow.zip",
                          state.range(0) == 0 ? SlowAdLibGame() : LargeVgzGame());
    state.SetLabel(state.range(0) == 0 ? "20 AdLib songs that never finish a tick"
                                       : "100 VGZ tunes of 16 MiB each");
    double longest = 0, blocking = 0, loadSeconds = 0;
    for (auto _ : state) {
        const Waits waits = LongestCall(temp, loading, false);
        longest = std::max(longest, waits.longestMs);
        loadSeconds = waits.loadSeconds;
        state.SetIterationTime(loadSeconds);
        blocking = std::max(blocking, LongestCall(temp, loading, true).longestMs);
    }
    state.counters["load_s"] = loadSeconds;
    state.counters["longest_call_ms"] = longest;
    state.counters["stall_vs_blocking"] = longest / blocking;
}
BENCHMARK(BM_LongestStallWhileASlowGameLoads)
    ->DenseRange(0, 1)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

} // namespace

BENCHMARK_MAIN();
