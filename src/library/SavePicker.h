// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/IDialogs.h"

#include <string>
#include <vector>

namespace tarvo {

// The save picker for files whose kind has an extension of its own: a name
// typed without any extension gets that of the filter the picker was left on
// ("FLAC Files" gives ".flac"), else `extension` (".wav"). The picker has asked
// before replacing the name as typed only, so when the extended name exists
// the question is asked again; No opens the picker once more. Empty when the
// user cancels.
std::string AskSavePath(IDialogs& dialogs, const std::string& title,
                        const std::vector<FileFilter>& filters, const std::string& initialName,
                        const std::string& extension);

} // namespace tarvo
