// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TagText.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <string_view>

namespace tarvocore {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code point at `at` and its length in bytes; 0 bytes when the text is
// not valid UTF-8 there (overlong forms and surrogates included).
char32_t DecodeUtf8(std::string_view text, size_t at, size_t& length) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    length = 0;
    if (lead < 0x80) {
        length = 1;
        return lead;
    }
    const size_t size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (size == 0 || lead > 0xF4 || at + size > text.size()) return kReplacement;
    char32_t c = lead & (0x7F >> size);
    for (size_t i = 1; i < size; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return kReplacement;
        c = c << 6 | (byte(i) & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[size] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
    length = size;
    return c;
}

std::string FromLatin1(std::string_view raw) {
    std::string out;
    for (unsigned char c : raw)
        AppendUtf8(out, c);
    return out;
}

// Shift-JIS as Japanese Windows wrote it (code page 932); a byte that starts
// no character becomes U+FFFD.
std::string FromShiftJis(std::string_view raw) {
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) return FromLatin1(raw);
    std::string out;
    std::string input(raw);
    char* in = input.data();
    size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outAt = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(converter, &in, &inLeft, &outAt, &outLeft);
        out.append(buffer, static_cast<size_t>(outAt - buffer));
        if (result == static_cast<size_t>(-1) && errno != E2BIG) {
            AppendUtf8(out, kReplacement);
            ++in;
            --inLeft;
        }
    }
    iconv_close(converter);
    return out;
}

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

std::string Utf16LeToUtf8(const uint8_t* data, size_t units) {
    std::string out;
    for (size_t i = 0; i < units; ++i) {
        char32_t c = data[2 * i] | data[2 * i + 1] << 8;
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        if (high && i + 1 < units) {
            const char32_t low = data[2 * i + 2] | data[2 * i + 3] << 8;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(out, c >= 0xD800 && c <= 0xDFFF ? kReplacement : c);
    }
    return out;
}

bool StartsWith(const Bytes& data, const char* magic) {
    const size_t size = std::strlen(magic);
    return data.size() >= size && std::memcmp(data.data(), magic, size) == 0;
}

} // namespace

bool IsValidUtf8(std::string_view text) {
    for (size_t at = 0, length = 0; at < text.size(); at += length)
        if (DecodeUtf8(text, at, length), length == 0) return false;
    return true;
}

std::string CleanTagText(std::string_view raw, TagEncoding encoding) {
    const std::string text = IsValidUtf8(raw)                    ? std::string(raw)
                             : encoding == TagEncoding::ShiftJis ? FromShiftJis(raw)
                                                                 : FromLatin1(raw);
    std::string out;
    size_t characters = 0, keptBytes = 0;
    for (size_t at = 0, length = 0; at < text.size() && characters < kMaxTagCharacters;
         at += length) {
        const char32_t c = DecodeUtf8(text, at, length);
        if (length == 0) length = 1; // cannot happen after the conversion; never loops
        if (out.empty() && (c == ' ' || IsControl(c))) continue;
        AppendUtf8(out, IsControl(c) ? U' ' : c);
        ++characters;
        if (c != ' ' && !IsControl(c)) keptBytes = out.size();
    }
    out.resize(keptBytes);
    return out;
}

namespace {

// Steps `at` over `least` to `most` digits; false, not moving, when fewer.
bool Digits(std::string_view text, size_t& at, size_t least, size_t most) {
    size_t count = 0;
    while (at + count < text.size() && count < most &&
           std::isdigit(static_cast<unsigned char>(text[at + count])))
        ++count;
    if (count < least) return false;
    at += count;
    return true;
}

bool OneOf(std::string_view text, size_t& at, std::string_view characters) {
    if (at >= text.size() || characters.find(text[at]) == std::string_view::npos) return false;
    ++at;
    return true;
}

// Steps over what `part` reads, or leaves `at` where it was.
template <typename Part> bool Optional(size_t& at, Part part) {
    const size_t before = at;
    if (!part()) at = before;
    return true;
}

// "1999-10-29", "1991/05/03", "1994", or the year last: "29.10.1999".
bool DatePart(std::string_view text, size_t& at) {
    const size_t start = at;
    if (Digits(text, at, 4, 4)) {
        for (int field = 0; field < 2; ++field)
            Optional(at, [&] { return OneOf(text, at, "-/.") && Digits(text, at, 1, 2); });
        return true;
    }
    at = start;
    return Digits(text, at, 1, 2) && OneOf(text, at, "-/.") && Digits(text, at, 1, 2) &&
           OneOf(text, at, "-/.") && Digits(text, at, 4, 4);
}

// "T16:35:36.5Z", " 12:30", "T04:05:06+02:00": all optional.
void TimePart(std::string_view text, size_t& at) {
    Optional(at, [&] {
        if (!(OneOf(text, at, "T ") && Digits(text, at, 1, 2) && OneOf(text, at, ":") &&
              Digits(text, at, 2, 2)))
            return false;
        Optional(at, [&] {
            return OneOf(text, at, ":") && Digits(text, at, 2, 2) &&
                   Optional(at, [&] { return OneOf(text, at, ".") && Digits(text, at, 1, 9); });
        });
        Optional(at, [&] {
            if (OneOf(text, at, "Z")) return true;
            return OneOf(text, at, "+-") && Digits(text, at, 2, 2) &&
                   Optional(at, [&] { return OneOf(text, at, ":"); }) && Digits(text, at, 2, 2);
        });
        return true;
    });
}

} // namespace

bool IsDateText(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(' ');
    if (first == std::string::npos || text.size() > 64) return false;
    const std::string_view trimmed = std::string_view(text).substr(first, last - first + 1);
    size_t at = 0;
    if (!DatePart(trimmed, at)) return false;
    TimePart(trimmed, at);
    return at == trimmed.size();
}

Gd3Tags ReadGd3(const Bytes& vgm) {
    Gd3Tags tags;
    if (vgm.size() < 0x18 || !StartsWith(vgm, "Vgm ")) return tags;
    const uint64_t offset = Le32(vgm, 0x14);
    if (offset == 0) return tags;
    const uint64_t at = offset + 0x14;
    if (at + 12 > vgm.size() || std::memcmp(vgm.data() + at, "Gd3 ", 4) != 0) return tags;
    const uint64_t end = std::min<uint64_t>(vgm.size(), at + 12 + Le32(vgm, at + 8));
    std::vector<std::string> fields;
    for (uint64_t from = at + 12; fields.size() < 11 && from + 1 < end;) {
        uint64_t to = from;
        while (to + 1 < end && (vgm[to] | vgm[to + 1]) != 0)
            to += 2;
        fields.push_back(Utf16LeToUtf8(vgm.data() + from, (to - from) / 2));
        from = to + 2;
    }
    fields.resize(11);
    const auto either = [&](size_t english) {
        return fields[english].empty() ? fields[english + 1] : fields[english];
    };
    tags.title = either(0);
    tags.game = either(2);
    tags.system = either(4);
    tags.author = either(6);
    tags.date = fields[8];
    return tags;
}

void CleanMusicInfo(MusicInfo& info, const Bytes& data) {
    const Gd3Tags gd3 = ReadGd3(data);
    if (!gd3.title.empty() && info.tunes.size() == 1) info.tunes[0].title = gd3.title;
    if (!gd3.game.empty()) info.game = gd3.game;
    if (!gd3.author.empty()) info.author = gd3.author;
    if (!gd3.date.empty()) info.copyright = gd3.date;
    const TagEncoding encoding = StartsWith(data, "SNES-SPC700 Sound File Data")
                                     ? TagEncoding::ShiftJis
                                     : TagEncoding::Latin1;
    for (std::string* text : {&info.system, &info.game, &info.author, &info.copyright})
        *text = CleanTagText(*text, encoding);
    for (TuneInfo& tune : info.tunes)
        tune.title = CleanTagText(tune.title, encoding);
}

} // namespace tarvocore
