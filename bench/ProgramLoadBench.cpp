// SPDX-License-Identifier: GPL-3.0-or-later
// Plays a demo tune in the real window with the shipped core, offscreen, for
// 20 seconds of real time on the window's own 30 ms timer, then prints the
// process's CPU time and peak memory. The resident size is sampled at each
// tenth of the run, so a longer run shows whether memory stays flat.
#include "core/LibraryCore.h"
#include "support/TempFolder.h"
#include "ui/PlayerDlg.h"
#include "ui/QtDialogs.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <QApplication>
#include <QTimer>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double CpuSeconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ResidentMiB() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication application(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;

    tarvo::test::TempFolder temp;
    const std::string folder = temp.MakeFolder("tarvo");
    std::filesystem::copy(TARVO_BIN_DIR, folder, std::filesystem::copy_options::recursive);
    tarvo::CQtDialogs dialogs;
    tarvo::CLibraryCore core;
    tarvo::CPlayerDlg window(folder, core, dialogs);
    window.StartUp();
    window.show();
    window.ROMList().ScanROMFolders();
    window.Engine().LoadGame(window.ROMList().FindGameIndex("tarvoquest"), 1);

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    QTimer::singleShot(seconds * 1000, &application, [&] { application.quit(); });
    QTimer sampler;
    int sample = 0;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        std::printf("  after %3d s: resident %.1f MiB\n", ++sample * seconds / 10, ResidentMiB());
        std::fflush(stdout);
    });
    sampler.start(seconds * 100);
    application.exec();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);

    const double cpu = CpuSeconds(after) - CpuSeconds(before);
    std::printf("Playing \"Overture\" in the window for %d s: CPU %.2f s (%.2f%% of one core), "
                "peak memory %.1f MiB\n",
                seconds, cpu, 100.0 * cpu / seconds, static_cast<double>(after.ru_maxrss) / 1024.0);
    window.CloseSequence();
    return 0;
}
