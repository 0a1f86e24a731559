#pragma once

namespace tarvo {

// Starts the platform services, runs the main window until it closes.
class CPlayerApp {
public:
    int Run(int argc, char** argv);
};

} // namespace tarvo
