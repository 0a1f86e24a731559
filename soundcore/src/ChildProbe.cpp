#include "ChildProbe.h"

#include <chrono>
#include <csignal>
#include <gme/gme.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tarvocore {

namespace {

// Runs in the child: the exit code carries the track count (capped at 250).
[[noreturn]] void PlayInChild(const Bytes& data, int track) {
    Music_Emu* emu = nullptr;
    if (gme_open_data(data.data(), static_cast<long>(data.size()), &emu, 44100) != nullptr || !emu)
        _exit(255);
    const int tracks = gme_track_count(emu);
    if (track >= 0 && track < tracks) {
        gme_ignore_silence(emu, 1);
        if (gme_start_track(emu, track) != nullptr) _exit(255);
        short buffer[2048];
        for (int done = 0; done < CChildProbe::kSecondsPlayed * 44100 && !gme_track_ended(emu);
             done += 1024)
            if (gme_play(emu, 2048, buffer) != nullptr) _exit(255);
    }
    gme_delete(emu);
    _exit(tracks > 250 ? 250 : tracks);
}

} // namespace

int CChildProbe::Probe(const Bytes& data, int track) {
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) PlayInChild(data, track);

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeLimitMs);
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) break;
        if (done < 0 || std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 255) return -1;
    return WEXITSTATUS(status);
}

} // namespace tarvocore
