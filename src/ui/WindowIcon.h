// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "kit/IconSequences.h"

#include <QHash>
#include <QIcon>

class QWidget;

namespace tarvo {

// The main window's animated icon: the sequence the player's state selects,
// one frame a clock tick, drawn once at the one size a window icon has.
class CWindowIcon {
public:
    explicit CWindowIcon(QWidget& window) : m_window(window) {}

    // Draws the frames; before it, the window shows the program's icon.
    void Load();
    void Select(int sequence) { m_sequences.Select(sequence); }
    void Advance();
    int Current() const { return m_icon; }
    const CIconSequences& Sequences() const { return m_sequences; }

private:
    QWidget& m_window;
    CIconSequences m_sequences;
    QHash<int, QIcon> m_frames;
    int m_icon = CIconSequences::kProgramIcon;
};

} // namespace tarvo
