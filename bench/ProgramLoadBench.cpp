// SPDX-License-Identifier: GPL-3.0-or-later
// Plays a demo tune in the real window with the shipped core, offscreen, for
// 20 seconds of real time on the window's own 30 ms timer, then prints the
// CPU time and peak memory, and the wake-ups a second (voluntary context
// switches of every thread), of the program and its emulator process. The
// resident size is sampled at each tenth of the run, so a longer run shows
// whether memory stays flat. With "idle" after the seconds, the window is
// shown with nothing playing instead; with "stopped", a tune played for a
// second and stopped.
// Other processes to measure over the same time (the X server, the window
// manager) are named in TARVO_BENCH_ALSO as "name:pid name:pid".
// Usage: bench_program_load [SECONDS [idle|stopped]]
#include "app/QtEnvironment.h"
#include "core/LibraryCore.h"
#include "kit/QtDialogs.h"
#include "support/TempFolder.h"
#include "ui/PlayerDlg.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <QApplication>
#include <QTimer>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kSettleMs = 2000;

double ResidentMiB() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

long FieldOf(const std::filesystem::path& status, const std::string& name) {
    std::ifstream in(status);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(name + ":", 0) == 0) return std::atol(line.c_str() + name.size() + 1);
    return 0;
}

// CPU ticks and voluntary context switches of each thread of a process and
// of its children (the emulator), by their /proc paths.
struct Cost {
    long ticks = 0;
    long wakeUps = 0;
};
using Costs = std::map<std::string, Cost>;

void AddCosts(const std::string& pid, Costs& costs) {
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + pid + "/task", error)) {
        Cost& cost = costs[task.path().string()];
        cost.wakeUps = FieldOf(task.path() / "status", "voluntary_ctxt_switches");
        std::ifstream stat(task.path() / "stat");
        std::string text((std::istreambuf_iterator<char>(stat)), {});
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string field;
        for (int i = 3; i <= 15 && fields >> field; ++i)
            if (i == 14 || i == 15) cost.ticks += std::atol(field.c_str());
        std::ifstream children(task.path() / "children");
        for (std::string child; children >> child;)
            AddCosts(child, costs);
    }
}

Costs CostsNow() {
    Costs costs;
    AddCosts(std::to_string(getpid()), costs);
    return costs;
}

// What the threads alive at the end did since `before` (a thread born since counts whole).
Cost Since(const Costs& before) {
    Cost total;
    for (const auto& [task, now] : CostsNow()) {
        const auto was = before.find(task);
        total.ticks += now.ticks - (was == before.end() ? 0 : was->second.ticks);
        total.wakeUps += now.wakeUps - (was == before.end() ? 0 : was->second.wakeUps);
    }
    return total;
}

// The processes named in TARVO_BENCH_ALSO, with their CPU ticks now.
std::vector<std::pair<std::string, long>> OthersNow() {
    std::vector<std::pair<std::string, long>> others;
    const char* also = std::getenv("TARVO_BENCH_ALSO");
    std::istringstream names(also ? also : "");
    for (std::string entry; names >> entry;) {
        const std::string pid = entry.substr(entry.find(':') + 1);
        Costs costs;
        AddCosts(pid, costs);
        long ticks = 0;
        for (const auto& [task, cost] : costs)
            if (task.rfind("/proc/" + pid + "/", 0) == 0) ticks += cost.ticks;
        others.emplace_back(entry.substr(0, entry.find(':')), ticks);
    }
    return others;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    tarvo::ChooseQtEnvironment(); // as the program does
    QApplication application(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    const std::string mode = argc > 2 ? argv[2] : "playing";

    tarvo::test::TempFolder temp;
    const std::string folder = temp.MakeFolder("tarvo");
    std::filesystem::copy(TARVO_BIN_DIR, folder, std::filesystem::copy_options::recursive);
    tarvo::CQtDialogs dialogs;
    tarvo::CLibraryCore core;
    tarvo::CPlayerDlg window(folder, core, dialogs);
    window.StartUp();
    window.show();
    window.ROMList().ScanROMFolders();
    if (mode != "idle") window.Engine().LoadGame(window.ROMList().FindGameIndex("tarvoquest"), 1);
    if (mode == "stopped")
        QTimer::singleShot(1000, &application, [&] { window.Engine().StopPlayer(); });

    // The measure starts once the window has settled: shown, painted, playing.
    Costs costBefore;
    std::vector<std::pair<std::string, long>> othersBefore;
    QTimer sampler;
    int sample = 0;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        std::printf("  after %3d s: resident %.1f MiB\n", ++sample * seconds / 10, ResidentMiB());
        std::fflush(stdout);
    });
    // (after a stop, once the meters have fallen back too)
    QTimer::singleShot(mode == "stopped" ? 2 * kSettleMs + 1000 : kSettleMs, &application, [&] {
        costBefore = CostsNow();
        othersBefore = OthersNow();
        sampler.start(seconds * 100);
        QTimer::singleShot(seconds * 1000, &application, [&] { application.quit(); });
    });
    application.exec();
    const Cost cost = Since(costBefore);
    const auto othersAfter = OthersNow();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);

    const double cpu = static_cast<double>(cost.ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
    std::printf("%s for %d s: CPU %.2f s (%.2f%% of one core, the emulator included), "
                "%.1f wake-ups a second, peak memory %.1f MiB\n",
                mode == "idle"      ? "Idle, the window shown"
                : mode == "stopped" ? "Idle after a tune played and stopped"
                                    : "Playing \"Overture\" in the window",
                seconds, cpu, 100.0 * cpu / seconds, static_cast<double>(cost.wakeUps) / seconds,
                static_cast<double>(after.ru_maxrss) / 1024.0);
    for (size_t i = 0; i < othersAfter.size() && i < othersBefore.size(); ++i) {
        const double other = static_cast<double>(othersAfter[i].second - othersBefore[i].second) /
                             static_cast<double>(sysconf(_SC_CLK_TCK));
        std::printf("%s: CPU %.2f s (%.2f%% of one core)\n", othersAfter[i].first.c_str(), other,
                    100.0 * other / seconds);
    }
    window.CloseSequence();
    return 0;
}
