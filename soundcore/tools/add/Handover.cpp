// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/add/Handover.h"

#include "library/ClipInfo.h"
#include "library/SafeFileWriter.h"

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tarvoadd {

std::string PendingClipDataPath(const std::string& programFolder) {
    return programFolder + tarvo::kPendingClipDataName;
}

bool AppendClipData(const std::string& path, const std::string& lines, std::string& problem) {
    std::ifstream in(path, std::ios::binary);
    const std::string waiting((std::istreambuf_iterator<char>(in)), {});
    std::string why;
    if (tarvo::CSafeFileWriter::Save(
            path, [&](std::ostream& out) { out << waiting << lines; }, why))
        return true;
    problem = "the clip data file " + path + " cannot be written: " + why;
    return false;
}

bool TellRunningTarvo() {
    const char* const argv[] = {"dbus-send",
                                "--session",
                                "--print-reply",
                                "--reply-timeout=3000",
                                "--dest=org.tarvo.Tarvo",
                                "/org/tarvo/Tarvo",
                                "org.tarvo.Tarvo.Reload",
                                nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int started =
        posix_spawnp(&child, "dbus-send", &quiet, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&quiet);
    int status = 0;
    return started == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

} // namespace tarvoadd
