// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayList>
#include <QMimeData>
#include <QUrl>

namespace tarvo {

// The local files and folders a drag carries, as the file system's bytes
// (a name that is not valid UTF-8 keeps them); empty for anything else.
inline QByteArrayList DroppedFiles(const QMimeData* data) {
    QByteArrayList paths;
    if (!data) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths << QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return paths;
}

} // namespace tarvo
