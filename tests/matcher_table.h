// The matcher's table: patterns and entries' names, as byte strings, with
// whether they match. The table test checks them; the fuzzer starts from them.
// Octal escapes (\260 is 0xB0) where a letter follows, since a hex escape
// would take it in.
#pragma once

struct MatcherRow {
    const char* pattern;
    const char* entry;
    bool matches;
};

const MatcherRow kMatcherTable[] = {
    {"*.txt", "x.txt", true},
    {"*.txt", ".txt", true},          // * takes none
    {"*.txt", "x.TXT", false},        // case counts
    {"?.flg", "\xc5\x82.flg", true},  // ł: one character
    {"??.flg", "\xc5\x82.flg", false},
    {"?.flg", "\xe6\x97\xa5.flg", true},      // 日
    {"?.flg", "\xf0\x9f\x98\x80.flg", true},  // U+1F600
    {"x?C.log", "x\260C.log", true},          // Latin-1 °: a stray byte is one character
    {"?\260C.log", "x\260C.log", true},
    {"*\260C.log", "x\260C.log", true},
    {"??C.log", "x\260C.log", true},
    {"?\x82.flg", "\xc5\x82.flg", false},  // no match inside a character
    {"?.x", "\xc5.x", true},               // a lead byte without its continuation
    {"??.x", "\xe0\x80\x80.x", false},     // overlong: three characters
    {"???.x", "\xe0\x80\x80.x", true},
    {"?.x", "\xed\xa0\x80.x", false},      // a surrogate is no character
    {"?.x", "\xf4\x90\x80\x80.x", false},  // beyond U+10FFFF
    {"*?", "a", true},
    {"*?", "", false},
    {"*??", "a", false},
    {"a*b*c", "aXbYbZc", true},  // backtracking
    {"a*bc", "abcbcbd", false},
    {"*aab", "aaaab", true},
    {"*", ".", false},
    {"*", "..", false},
    {"*", "..x", true},
    {".*", "..", false},
    {"*", ".hidden", true},
    {".h*", ".hidden", true},
    {"[a]*", "[a].log", true},  // [ is a plain character
    {"[ab]*", "a.log", false},
    {"", "", true},
    {"**", "abc", true},
};
