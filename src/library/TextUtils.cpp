// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/TextUtils.h"

#include <climits>
#include <filesystem>

namespace tarvo {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view TrimSpace(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string SplitToken(std::string& text, char delimiter) {
    if (text.empty()) return {};
    const size_t at = text.find(delimiter);
    const size_t tokenLength = at == std::string::npos ? text.size() : at;
    std::string token(TrimSpace(std::string_view(text).substr(0, tokenLength)));
    if (tokenLength + 1 < text.size())
        text.erase(0, tokenLength + 1);
    else
        text.clear();
    return token;
}

int ParseInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

int ParseTimeText(std::string text) {
    for (char& c : text)
        if (c == '.') c = ':';
    long long total = ParseInt(SplitToken(text, ':'));
    for (int field = 0; field < 2 && !text.empty(); ++field) {
        const int v = ParseInt(SplitToken(text, ':'));
        total = total * 60 + (v < 0 ? 0 : v);
        if (total > INT_MAX) total = INT_MAX;
        if (total < INT_MIN) total = INT_MIN;
    }
    return static_cast<int>(total);
}

static char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return line;
}

std::string FirstNames(const std::vector<std::string>& names, size_t most) {
    std::string text;
    for (size_t i = 0; i < names.size() && i < most; ++i)
        text += "\n" + names[i];
    if (names.size() > most) text += "\n...";
    return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

std::string ToLowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = LowerAscii(c);
    return lower;
}

bool FileExists(const std::string& path) {
    if (path.empty() || path.back() == '/') return false;
    std::error_code error;
    return std::filesystem::exists(path, error);
}

bool IsRegularFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

bool PrepareFolderPath(std::string& folder) {
    if (folder.empty()) return true;
    if (folder.back() != '/') folder += '/';
    std::error_code error;
    return std::filesystem::is_directory(folder, error);
}

std::string GetFolderOfPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string GetLowerExtension(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) return {};
    return ToLowerAscii(std::string_view(path).substr(dot));
}

} // namespace tarvo
