#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "names/name_rules.h"
#include "names/system_answers.h"
#include "tests/matcher_reference.h"
#include "tests/matcher_table.h"

namespace {

TEST(NameRules, PatternsMatchEntriesCharacterByCharacter) {
    for (const MatcherRow& c : kMatcherTable) {
        EXPECT_EQ(c.matches,
                  ListedEntryMatches(NameSyntax::posix, c.entry, WildcardPattern{c.pattern}))
            << '"' << c.pattern << "\" against \"" << c.entry << '"';
    }
    // Windows' search has matched what it lists; . and .. never count there either.
    EXPECT_FALSE(ListedEntryMatches(NameSyntax::windows, "..", WildcardPattern{"*"}));
    EXPECT_TRUE(ListedEntryMatches(NameSyntax::windows, "x.txt", WildcardPattern{"*.TXT"}));
}

// Every pattern and name that together hold at most five symbols (four under
// an emulator or the sanitizers) of this alphabet, against the reference: *
// and ?, plain characters, two UTF-8 characters of 2 bytes with one lead
// byte, one of 4 bytes, and six byte sequences that are no character: a lone
// continuation byte, an overlong NUL, an overlong 3-byte form, a surrogate, a
// code point beyond U+10FFFF, and the 4-byte character cut before its last
// byte.
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
    constexpr std::size_t kSymbols = HOLLOWBROOK_MATCHER_SYMBOLS;
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
        {windows, "ab*.txt", "ab*.txt", "", true, false},  // a drive needs its colon
        {windows, "\\\\?\\C:\\jobs\\done.flg", "done.flg", "\\\\?\\C:\\jobs", false, false},
        {windows, "//?/C:/in/*", "*", "//?/C:/in", true, false},
        {windows, "C:\\in\\*\\done.flg", "done.flg", "C:\\in\\*", false, true},
        {windows, "\\\\server\\share\\?.flg", "?.flg", "\\\\server\\share", true, false},
        {posix, "/srv/in/*.csv", "*.csv", "/srv/in", true, false},
        {posix, "/*", "*", "/", true, false},
        {posix, "C:*.csv", "C:*.csv", "", true, false},    // no drive letters
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
    // A listed entry as a name of its own, where it fits.
    char name[12];
    EXPECT_TRUE(NameInFolderOf(windows, "C:*.txt", "e.txt", name, sizeof name));
    EXPECT_STREQ("C:e.txt", name);
    EXPECT_TRUE(NameInFolderOf(posix, "/in/*", "e", name, sizeof name));
    EXPECT_STREQ("/in/e", name);
    EXPECT_TRUE(NameInFolderOf(posix, "*", "0123456789a", name, sizeof name));
    EXPECT_FALSE(NameInFolderOf(posix, "/*", "0123456789a", name, sizeof name));
    EXPECT_STREQ("", name);
    // A pattern without a folder part is read in the current folder.
    EXPECT_TRUE(CopyFolderPart(posix, "*.csv", name, sizeof name));
    EXPECT_STREQ(".", name);
}

// The probes' answers to each system error are checked against real files
// (the platform test); here what Wine cannot be made to answer: a search that
// ends on another error than "no more files" left part of the folder unread,
// and a Windows file time as a folder time.
TEST(SystemAnswers, WhatWindowsAnswersMean) {
    EXPECT_TRUE(WindowsErrorMeansNoMatch(18));
    EXPECT_FALSE(WindowsErrorMeansNoMatch(64));          // the network name is no longer available
    EXPECT_TRUE(WindowsErrorMayMeanAFileAsFolder(267));  // Windows' answer below a file
    std::int64_t seconds = 0;
    std::uint32_t nanoseconds = 0;
    SplitFileTime(0x01DB0000, 0x12345678, &seconds, &nanoseconds);
    EXPECT_EQ(13370061424, seconds);
    EXPECT_EQ(298149600u, nanoseconds);
    SplitFileTime(0, 20000000, &seconds, &nanoseconds);  // FAT's 2 s
    EXPECT_EQ(2, seconds);
    EXPECT_EQ(0u, nanoseconds);
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
    // Windows counts a character beyond U+FFFF as two UTF-16 units, POSIX as one.
    const char* name = "a\xe6\x97\xa5\xf0\x9f\x98\x80z";
    EXPECT_EQ(8u, CutAfterCharacters(name, 4, CharacterCount::utf16Units));
    EXPECT_EQ(9u, CutAfterCharacters(name, 4, CharacterCount::characters));
}

}  // namespace
