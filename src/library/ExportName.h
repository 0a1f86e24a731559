// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// A clip's exported file: "07 Overture.flac", the number with at least two
// digits, the title made safe for any file system a listener copies music
// to (a phone's card included); "07.flac" without a title.
std::string ExportFileName(int clip, std::string_view title, std::string_view extension);

// A text made fit to be part of a file name: characters that a file system
// forbids or a shell or another system reads specially (control characters
// and / \ : * ? " < > |) become "_", leading and trailing blanks and dots
// go, and it is cut at a whole character to 200 bytes.
std::string SafeFileNamePart(std::string_view text);

} // namespace tarvo
