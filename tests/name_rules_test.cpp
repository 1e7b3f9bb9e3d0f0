#include <gtest/gtest.h>

#include <string>

#include "names/name_rules.h"

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
