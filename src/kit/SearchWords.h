// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace tarvo {

// What a user types to find a game or a clip: words that must all stand in
// the text searched, case and accents aside.
class CSearchWords {
public:
    explicit CSearchWords(const QString& typed = {});

    bool IsEmpty() const { return m_words.isEmpty(); }
    // `folded` is a text already passed through Folded.
    bool FoundIn(const QString& folded) const;
    // The text without case or accents: "Café ÉTÉ" gives "cafe ete".
    static QString Folded(const QString& text);

private:
    QStringList m_words;
};

} // namespace tarvo
