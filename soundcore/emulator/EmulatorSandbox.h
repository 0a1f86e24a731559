// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tarvocore {

// Shuts the emulator process in with what rendering needs: memory bounded,
// no files opened, no network, no new processes and no new privileges. A
// forbidden call fails with EPERM. False with the reason when the platform
// refused a restriction (the emulator then does not run).
bool EnterEmulatorSandbox(std::string& error);

// Enters the sandbox, then tries each thing it forbids (a file, a socket, a
// new process, a signal to another process, memory beyond the limit, a pipe
// outside sanitizer builds) and prints a line for each. 0 when every one was
// refused; tarvo-emulator --check-sandbox runs it.
int CheckEmulatorSandbox();

} // namespace tarvocore
