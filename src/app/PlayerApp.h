// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tarvo {

// Starts the platform services, runs the main window until it closes.
class CPlayerApp {
public:
    int Run(int argc, char** argv);
};

} // namespace tarvo
