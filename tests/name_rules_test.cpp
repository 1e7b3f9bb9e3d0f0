#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "names/name_rules.h"
#include "tests/matcher_reference.h"

namespace {

// Byte strings; octal escapes (\260 is 0xB0) where a letter follows, since a
// hex escape would take it in.
TEST(NameRules, PatternsMatchEntriesCharacterByCharacter) {
    const struct {
        const char* pattern;
        const char* entry;
        bool matches;
    } cases[] = {
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
        {".*", "..", false},
        {"*", ".hidden", true},
        {".h*", ".hidden", true},
        {"[a]*", "[a].log", true},  // [ is a plain character
        {"[ab]*", "a.log", false},
        {"", "", true},
        {"**", "abc", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.matches, EntryCounts(NameSyntax::posix, c.entry, WildcardPattern{c.pattern}))
            << '"' << c.pattern << "\" against \"" << c.entry << '"';
    }
    // Windows' search has matched what it lists; . and .. never count there either.
    EXPECT_FALSE(EntryCounts(NameSyntax::windows, "..", WildcardPattern{"*"}));
    EXPECT_TRUE(EntryCounts(NameSyntax::windows, "x.txt", WildcardPattern{"*.TXT"}));
}

// Every pattern and name that together hold at most five symbols of this
// alphabet, against the reference: * and ?, plain characters, two UTF-8
// characters of 2 bytes with one lead byte, one of 4 bytes, and six byte
// sequences that are no character: a lone continuation byte, an overlong NUL,
// an overlong 3-byte form, a surrogate, a code point beyond U+10FFFF, and the
// 4-byte character cut before its last byte.
TEST(NameRules, MatcherAgreesWithTheReferenceOnEveryShortPatternAndName) {
    const std::vector<std::string> alphabet = {"*",
                                               "?",
                                               "a",
                                               ".",
                                               "\xc5\x82",
                                               "\xc5\x84",
                                               "\xf0\x9f\x98\x80",
                                               "\x82",
                                               "\xc0\x80",
                                               "\xe0\x80\x80",
                                               "\xed\xa0\x80",
                                               "\xf4\x90\x80\x80",
                                               "\xf0\x9f\x98"};
    ASSERT_EQ(1u, reference::Characters("\xc5\x82").size()) << "no UTF-8 decoder at hand";
    constexpr std::size_t kSymbols = 5;
    // Every string of up to kSymbols symbols, by its count of symbols.
    std::vector<std::vector<std::string>> texts(kSymbols + 1);
    texts[0] = {""};
    for (std::size_t count = 1; count <= kSymbols; ++count) {
        for (const std::string& shorter : texts[count - 1]) {
            for (const std::string& symbol : alphabet) {
                texts[count].push_back(shorter + symbol);
            }
        }
    }
    std::vector<std::vector<std::vector<std::string>>> characters(kSymbols + 1);
    for (std::size_t count = 0; count <= kSymbols; ++count) {
        for (const std::string& text : texts[count]) {
            characters[count].push_back(reference::Characters(text));
        }
    }
    std::size_t pairs = 0;
    int mismatches = 0;
    for (std::size_t patternCount = 0; patternCount <= kSymbols; ++patternCount) {
        for (std::size_t p = 0; p < texts[patternCount].size(); ++p) {
            const std::string& pattern = texts[patternCount][p];
            for (std::size_t nameCount = 0; nameCount + patternCount <= kSymbols; ++nameCount) {
                for (std::size_t n = 0; n < texts[nameCount].size(); ++n) {
                    const std::string& name = texts[nameCount][n];
                    const bool expected =
                        reference::Matches(characters[patternCount][p], characters[nameCount][n]);
                    ++pairs;
                    if (EntryMatches(name.c_str(), WildcardPattern{pattern.c_str()}) != expected &&
                        ++mismatches <= 5) {
                        ADD_FAILURE() << "pattern " << testing::PrintToString(pattern) << ", name "
                                      << testing::PrintToString(name) << ": expected " << expected;
                    }
                }
            }
        }
    }
    EXPECT_EQ(0, mismatches) << "of " << pairs << " pairs";
    EXPECT_EQ(1ULL + 2 * 13 + 3 * 169 + 4 * 2197 + 5 * 28561 + 6 * 371293, pairs);
}

TEST(NameRules, PartsOfANameOnEachSystem) {
    const NameSyntax posix = NameSyntax::posix;
    const NameSyntax windows = NameSyntax::windows;
    const struct {
        NameSyntax syntax;
        const char* name;
        const char* lastPart;
        const char* folder;
        bool pattern;
        bool wildcardInFolder;
    } cases[] = {
        {windows, "C:\\in\\*.txt", "*.txt", "C:\\in", true, false},
        {windows, "C:\\*.txt", "*.txt", "C:\\", true, false},
        {windows, "C:*.txt", "*.txt", "C:", true, false},
        {windows, "\\*", "*", "\\", true, false},
        {windows, "*.txt", "*.txt", "", true, false},
        {windows, "\\\\?\\C:\\jobs\\done.flg", "done.flg", "\\\\?\\C:\\jobs", false, false},
        {windows, "//?/C:/in/*", "*", "//?/C:/in", true, false},
        {windows, "C:\\in\\*\\done.flg", "done.flg", "C:\\in\\*", false, true},
        {windows, "\\\\server\\share\\?.flg", "?.flg", "\\\\server\\share", true, false},
        {posix, "/srv/in/*.csv", "*.csv", "/srv/in", true, false},
        {posix, "/*", "*", "/", true, false},
        {posix, "a\\*.csv", "a\\*.csv", "", true, false},  // \ is a character
        {posix, "//?/x", "x", "//?", false, true},         // the folder ? under the root
        {posix, "/in/?x/done", "done", "/in/?x", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(c.lastPart, LastPart(c.syntax, c.name));
        EXPECT_EQ(std::string(c.folder), std::string(c.name, FolderPartLength(c.syntax, c.name)));
        EXPECT_EQ(c.pattern, IsPattern(c.syntax, c.name));
        EXPECT_EQ(c.wildcardInFolder, HasWildcardInFolder(c.syntax, c.name));
    }
}

TEST(NameRules, CharactersANameMayHold) {
    for (const char* name : {"a\rb", "a\tb", "a\x1f", "a\x7f"}) {
        EXPECT_TRUE(HoldsForbiddenCharacter(NameSyntax::posix, name)) << name;
    }
    for (const char* name : {"a\"b", "a<b", "a>b", "a|b", "a\rb"}) {
        EXPECT_TRUE(HoldsForbiddenCharacter(NameSyntax::windows, name)) << name;
    }
    EXPECT_FALSE(HoldsForbiddenCharacter(NameSyntax::posix, "a\"<>|\xc5\x82 b"));
    EXPECT_FALSE(HoldsForbiddenCharacter(NameSyntax::windows, "a\x7f\xc5\x82 b"));
}

}  // namespace
