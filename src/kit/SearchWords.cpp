// SPDX-License-Identifier: GPL-3.0-or-later
#include "kit/SearchWords.h"

#include <algorithm>

namespace tarvo {

CSearchWords::CSearchWords(const QString& typed)
    : m_words(Folded(typed).split(QChar(u' '), Qt::SkipEmptyParts)) {}

bool CSearchWords::FoundIn(const QString& folded) const {
    return std::all_of(m_words.begin(), m_words.end(),
                       [&](const QString& word) { return folded.contains(word); });
}

QString CSearchWords::Folded(const QString& text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing) folded += c;
    return folded.toCaseFolded();
}

} // namespace tarvo
