// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Rules shared by every text file reader and by the dialogs: how a line is cut
// into tokens, how numbers and durations are read, and how paths are taken apart.
// Texts are UTF-8 bytes; all delimiters are ASCII, so a multi-byte character is
// never split.

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Blank, tab, line feed, vertical tab, form feed and carriage return.
bool IsSpace(char c);
std::string_view TrimSpace(std::string_view text);

// Returns the token before the first `delimiter`, trimmed; `text` keeps what
// follows that one delimiter, or becomes empty when nothing follows it.
std::string SplitToken(std::string& text, char delimiter);

// Reads a decimal integer as atoi does: leading white space, an optional sign,
// digits up to the first other character; no digits give 0. Values beyond the
// 32-bit range saturate instead of overflowing.
int ParseInt(std::string_view text);

// "m:s", "h:m:s" or plain seconds; "." may stand for ":".
int ParseTimeText(std::string text);

// A text made to stay on one line of a text file: control characters (line
// breaks, tabs) become spaces; everything else stands as it was.
std::string OneLine(std::string_view text);

// The first `most` names, each on a line of its own after a line break, and
// "..." on one more when there are others: a question names what it is about
// without growing with the list.
std::string FirstNames(const std::vector<std::string>& names, size_t most = 5);

bool EqualsNoCase(std::string_view a, std::string_view b);
std::string ToLowerAscii(std::string_view text);

bool FileExists(const std::string& path);
// True for a regular file (through links): what a reader may open. A folder,
// a device such as /dev/zero or a pipe would hang or feed a reader for ever.
bool IsRegularFile(const std::string& path);
// Appends a trailing "/" when missing; true when the folder exists (or the text is empty).
bool PrepareFolderPath(std::string& folder);
// The folder part of a path, ending in "/"; empty when the path has none.
std::string GetFolderOfPath(const std::string& path);
// The file name's extension with its dot, in lower case; empty when it has none.
std::string GetLowerExtension(const std::string& path);

} // namespace tarvo
