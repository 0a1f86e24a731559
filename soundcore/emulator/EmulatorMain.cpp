// SPDX-License-Identifier: GPL-3.0-or-later
// tarvo-emulator: the process in which the sound core runs every emulator.
// The core starts it with its socket as descriptor 3 and the shared sound
// blocks as descriptor 4; it serves until the core closes the socket.
#include "common/EmulatorProtocol.h"
#include "emulator/EmulatorSandbox.h"
#include "emulator/EmulatorServer.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int kSocket = 3;
constexpr int kSharedBlocks = 4;

void CloseEverythingElse() {
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
        ::dup2(null, 0);
        ::dup2(null, 1);
    }
    ::close_range(kSharedBlocks + 1, ~0u, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--check-sandbox") == 0) {
        // Ends at once: the sandbox would refuse what a sanitizer's leak
        // check at exit needs (a new thread to stop the others).
        const int status = tarvocore::CheckEmulatorSandbox();
        std::fflush(stdout);
        ::_exit(status);
    }
    if (argc > 1) {
        std::fprintf(stderr,
                     "%s is started by the Tarvo sound core; its one option, --check-sandbox,\n"
                     "tries what the sandbox forbids.\n",
                     argv[0]);
        return 2;
    }
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    CloseEverythingElse();
    void* shared = ::mmap(nullptr, tarvocore::kSharedBytes, PROT_READ | PROT_WRITE, MAP_SHARED,
                          kSharedBlocks, 0);
    if (shared == MAP_FAILED) {
        std::fprintf(stderr, "tarvo-emulator: no shared sound blocks: %s\n", std::strerror(errno));
        return 1;
    }
    std::string error;
    if (!tarvocore::EnterEmulatorSandbox(error)) {
        std::fprintf(stderr, "tarvo-emulator: %s\n", error.c_str());
        return 1;
    }
    return tarvocore::CEmulatorServer(kSocket, static_cast<int16_t*>(shared)).Run();
}
