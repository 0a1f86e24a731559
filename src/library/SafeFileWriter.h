// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace tarvo {

// Every file Tarvo keeps is saved through here: the content goes to a temporary
// file in the same folder, each write is checked, and only a complete file is
// renamed over the old one. A failed save leaves the previous file whole.
class CSafeFileWriter {
public:
    using Writer = std::function<void(std::ostream&)>;

    // True when the file at `path` now holds exactly what `write` produced.
    static bool Save(const std::string& path, const Writer& write);
    // The same; false says why in `why` (the system's words: "Permission denied").
    static bool Save(const std::string& path, const Writer& write, std::string& why);
};

} // namespace tarvo
