// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tarvo {

CProgramLock::CProgramLock(const std::string& programFolder) {
    m_fd = ::open((programFolder + kFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    m_held = m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
}

CProgramLock::~CProgramLock() {
    if (m_fd >= 0) ::close(m_fd);
}

} // namespace tarvo
