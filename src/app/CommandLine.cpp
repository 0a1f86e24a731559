// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <cstring>

namespace tarvo {

CCommandLine::CCommandLine(int argc, char** argv) : m_qtArgc(argc) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") != 0) continue;
        m_qtArgc = i;
        for (int file = i + 1; file < argc; ++file)
            m_afterDashes << QByteArray(argv[file]);
        break;
    }
}

QByteArrayList CCommandLine::Files(char** argv) const {
    QByteArrayList files;
    for (int i = 1; i < m_qtArgc; ++i)
        files << QByteArray(argv[i]);
    return files + m_afterDashes;
}

} // namespace tarvo
