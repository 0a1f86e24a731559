// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tarvocore {

// Shuts the emulator process in with what rendering needs: memory bounded,
// no files opened, no network, no new processes and no new privileges. A
// forbidden call fails with EPERM. False with the reason when the platform
// refused a restriction (the emulator then does not run).
bool EnterEmulatorSandbox(std::string& error);

} // namespace tarvocore
