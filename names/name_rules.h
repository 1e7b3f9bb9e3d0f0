// The rules of a file name, on the systems the tool runs on: what separates
// its folders, its last part, the long-path prefix, what makes it a pattern,
// how a pattern matches a folder's entries, and which characters a name may
// hold. Pure functions: no system call, no state.
#pragma once

#include <cstddef>
#include <cstdint>

// The longest name the tool watches, in characters as the system counts
// them against Windows' MAX_PATH: UTF-16 units on Windows, UTF-8 characters
// on POSIX (CutAfterCharacters). Longer paths exist (Windows' long paths, POSIX
// paths up to PATH_MAX), but the tool watches none of them.
constexpr int kLongestFileName = 259;
// Room for such a name at 4 bytes a character, and its terminator.
constexpr int kFileNameCapacity = kLongestFileName * 4 + 1;

// Windows separates folders with \ and /, POSIX with / alone.
enum class NameSyntax { posix, windows };

// The last part of a name, as a pattern to match entries against: a type of
// its own, so that it cannot change places with the entry's name.
struct WildcardPattern {
    const char* text;
};

bool IsPathSeparator(NameSyntax syntax, char c);

// A Windows drive letter and its colon at the start: C:...
bool HasDriveLetter(const char* name);

// Past Windows' long-path prefix \\?\ (also //?/), whose ? is no wildcard;
// the name itself where it has none, and always on POSIX, where //?/x is the
// entry x of the folder ? under the root.
const char* SkipLongPathPrefix(NameSyntax syntax, const char* name);

// Past the last separator, and on Windows past a drive letter's colon.
const char* LastPart(NameSyntax syntax, const char* name);

// How many bytes of the name its folder takes: the name up to its last
// separator, which stays only where it is the root (/, C:\). 0 for a name
// in the current folder.
std::size_t FolderPartLength(NameSyntax syntax, const char* name);

// The folder part as a name of its own, "." for the current folder. False,
// with nothing copied, when it does not fit in the buffer.
bool CopyFolderPart(NameSyntax syntax, const char* name, char* folder, std::size_t capacity);

// An entry's name as the buffer holds it: whole, or empty where it does not fit.
void CopyEntryName(const char* entryName, char* copy, std::size_t capacity);

// The entry's own name: the pattern's folder part, its separator kept, then
// the entry's name. False, with the buffer left empty, when it does not fit.
bool NameInFolderOf(NameSyntax syntax, const char* pattern, const char* entryName, char* name,
                    std::size_t capacity);

// How a system counts a name's characters against its limit: POSIX each
// character as the matcher reads them (a valid UTF-8 sequence, or any other
// byte), Windows' UTF-8 code page each UTF-16 unit, of which a character
// beyond U+FFFF takes two.
enum class CharacterCount { characters, utf16Units };

// How many bytes of the name hold its first `longest` characters, counted
// so: the whole name where it has no more.
std::size_t CutAfterCharacters(const char* name, std::size_t longest, CharacterCount count);

// How many bytes of the name fit in `room` bytes without leaving a character
// in part: `room` itself, or less where a character would straddle it.
std::size_t CutAtCharacter(const char* name, std::size_t room);

// A * or ? in the last part makes the name a pattern for its folder's entries.
bool IsPattern(NameSyntax syntax, const char* name);

// A * or ? before the last part. Windows cannot check such a name; POSIX
// could, but a caller who typed one most likely meant a pattern, so the tool
// warns there too instead of looking for a folder named with a *.
bool HasWildcardInFolder(NameSyntax syntax, const char* name);

// Windows allows neither " < > | nor a control character (0x01 to 0x1F) in a
// name; POSIX allows all but NUL, but a control character (0x01 to 0x1F,
// 0x7F) is never what the caller meant: a CR left by a CRLF file, a tab.
bool HoldsForbiddenCharacter(NameSyntax syntax, const char* name);

// Whether an entry that a listing of the pattern's folder returned is a match:
// never . or .., on either system. Windows' folder search has matched the
// entry already; on POSIX EntryMatches does.
bool ListedEntryMatches(NameSyntax syntax, const char* entryName, WildcardPattern pattern);

// True when the entry's name matches: * matches any run of characters, none
// included, ? exactly one, and every other character only itself. A
// character is one valid UTF-8 sequence, else one byte.
bool EntryMatches(const char* entryName, WildcardPattern pattern);

// The same, counting the matcher's steps, which never exceed
// (name length + 1) times (pattern length + 1).
bool EntryMatchesCountingSteps(const char* entryName, WildcardPattern pattern,
                               std::uint64_t* steps);
