// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace tarvo {

// Where an installed Tarvo keeps the user's own files, and the core and
// tarvo-add the user's catalogue and games: one rule for the program, the
// core and the tools, so that each finds what another wrote. The data home
// of the desktop's rules ($XDG_DATA_HOME when it is an absolute path, else
// ~/.local/share), with the home from the password database when $HOME is
// unset; "" when there is no home at all.
inline std::string UserDataFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/')
        return std::string(data) + "/Tarvo/";
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : nullptr;
    }
    return home && *home ? std::string(home) + "/.local/share/Tarvo/" : std::string();
}

} // namespace tarvo
