// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tarvo {

// Holds the program folder for one Tarvo at a time, so a second one does not
// overwrite the first one's settings, clip information and playlist copy. The
// lock is the system's, so it goes with the process however that ends.
class CProgramLock {
public:
    static constexpr const char* kFileName = "tarvo.lock";

    explicit CProgramLock(const std::string& programFolder);
    ~CProgramLock();
    CProgramLock(const CProgramLock&) = delete;
    CProgramLock& operator=(const CProgramLock&) = delete;

    // False when another Tarvo holds the folder (or it cannot be written).
    bool Held() const { return m_held; }

private:
    int m_fd = -1;
    bool m_held = false;
};

} // namespace tarvo
