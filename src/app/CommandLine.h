// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayList>

namespace tarvo {

// The files Tarvo is started with, as the file system's bytes. Qt takes its
// own options (-style, -reverse, ...) out of the command line first; "--"
// ends them, so a file whose name looks like one of them can still be given.
class CCommandLine {
public:
    // Splits argv at the first "--": Qt sees only what stands before it.
    CCommandLine(int argc, char** argv);

    // How many of argv's entries Qt may read.
    int& QtArgc() { return m_qtArgc; }
    // The files: what Qt left of its part (argv as Qt changed it), then all
    // after "--".
    QByteArrayList Files(char** argv) const;

private:
    int m_qtArgc = 0;
    QByteArrayList m_afterDashes;
};

} // namespace tarvo
