// A second matcher to hold the product's against: plain dynamic programming
// over whole characters, with no limit on stars, and characters split by the
// system's UTF-8 decoder (iconv, or MultiByteToWideChar on Windows) rather
// than by the product's reading of UTF-8: a character is one Unicode scalar
// value as the decoder reads it, and a byte that starts none is a character
// of its own.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace reference {

// Whether the bytes are exactly one Unicode scalar value in UTF-8.
inline bool IsOneCharacter(const char* bytes, std::size_t length) {
#if defined(_WIN32)
    // Some versions give U+FFFD for a bad sequence despite the flag: only a
    // sequence that comes back unchanged was one character.
    wchar_t wide[2];
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes,
                                          static_cast<int>(length), wide, 2);
    if (units != 1 && !(units == 2 && IS_HIGH_SURROGATE(wide[0]))) {
        return false;
    }
    char back[8];
    const int backLength =
        WideCharToMultiByte(CP_UTF8, 0, wide, units, back, sizeof back, nullptr, nullptr);
    return backLength == static_cast<int>(length) && std::memcmp(back, bytes, length) == 0;
#else
    // UCS-4 is built into the C library, where other targets of iconv may
    // be modules that a cross root lacks. It stands for any code point, so
    // the bounds of Unicode are checked here.
    static const iconv_t decoder = iconv_open("UCS-4LE", "UTF-8");
    unsigned char out[8];
    char* in = const_cast<char*>(bytes);
    char* at = reinterpret_cast<char*>(out);
    std::size_t left = length;
    std::size_t room = sizeof out;
    iconv(decoder, nullptr, nullptr, nullptr, nullptr);
    if (iconv(decoder, &in, &left, &at, &room) == static_cast<std::size_t>(-1) || left != 0 ||
        at != reinterpret_cast<char*>(out) + 4) {
        return false;
    }
    const unsigned long code =
        out[0] | out[1] << 8 | out[2] << 16 | static_cast<unsigned long>(out[3]) << 24;
    return code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
#endif
}

// The text as characters: the shortest prefix that decodes as one, else a byte.
inline std::vector<std::string> Characters(const std::string& text) {
    std::vector<std::string> characters;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = 1;
        for (std::size_t tried = 1; tried <= 4 && at + tried <= text.size(); ++tried) {
            if (IsOneCharacter(text.data() + at, tried)) {
                length = tried;
                break;
            }
        }
        characters.push_back(text.substr(at, length));
        at += length;
    }
    return characters;
}

// * matches any run of characters, none included, ? exactly one, every other
// character only itself.
inline bool Matches(const std::vector<std::string>& pattern, const std::vector<std::string>& name) {
    // matched[i][j]: pattern from i on matches name from j on.
    std::vector<std::vector<char>> matched(pattern.size() + 1,
                                           std::vector<char>(name.size() + 1, 0));
    matched[pattern.size()][name.size()] = 1;
    for (std::size_t i = pattern.size(); i-- > 0;) {
        for (std::size_t j = name.size() + 1; j-- > 0;) {
            const bool more = j < name.size();
            if (pattern[i] == "*") {
                matched[i][j] = matched[i + 1][j] || (more && matched[i][j + 1]);
            } else {
                matched[i][j] =
                    more && (pattern[i] == "?" || pattern[i] == name[j]) && matched[i + 1][j + 1];
            }
        }
    }
    return matched[0][0] != 0;
}

inline bool Matches(const std::string& pattern, const std::string& name) {
    return Matches(Characters(pattern), Characters(name));
}

}  // namespace reference
