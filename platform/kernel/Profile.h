#pragma once
// Private-profile (ini) files with the semantics of the original platform's ANSI profile functions,
// made safe for several processes:
//  - sections and keys compared case-insensitively (ASCII letters) on decoded text, names and
//    values trimmed of blanks and tabs, the first of duplicated sections/keys wins;
//  - a header is a line whose first non-blank character is "[", its name running to the LAST "]"
//    of the line ("[X]y]" names "X]y"), found by character (a CP932 trail byte never closes it);
//    a line with no "]" after its "[" is no header; lines before the first header are the
//    section named "";
//  - a value ends at its first NUL byte; a Ctrl-Z that ends the file belongs to no value;
//  - values come back cut to fit the caller's buffer of CP932 bytes (1024: at most 1023 bytes,
//    never half a double-byte character), counted in CP932 bytes also for a UTF-8 file; no
//    comment syntax;
//  - a value that starts and ends with the same quote (" or ') loses its opening quote before
//    the cut; the rest, closing quote included, is cut to the buffer (size - 1 bytes), and only
//    when the buffer is at least as long as that rest is its last character then dropped:
//    Q="abcdef" gives "abcde" in a buffer of 7, "abc" in a buffer of 4, "abcdef" in 8;
//  - a line without "=" whose trimmed text is the key written is that key's line;
//  - a write changes only the line it writes; everything else stays byte for byte;
//  - every write replaces the file atomically (temporary file in the same folder, renamed over
//    it) under an advisory lock, re-reading the file under the lock, so another process sees
//    the change when the call returns and two writers never lose each other's keys;
//  - a read keeps the file's path mapping and parse in memory and only examines the file (one
//    stat) to see whether anyone changed it; the bytes are read again while its last change is
//    too recent for its times to tell a later one apart (see Profile.cpp);
//  - flushProfile syncs a file to disk once at the end of a whole save;
//  - a ProfileBatch holds a whole save's writes to one file in memory and writes the file once.
// Files are CP932 (a file that starts with the UTF-8 byte-order mark is read and extended as
// UTF-8; one that starts with the UTF-16 mark is not read and never written).
// Paths are Windows-style (see Paths.h) or Linux paths; a bare file name lies in the program
// folder. An empty path reads the default and writes nothing.
#include <optional>
#include <string>
#include <string_view>

namespace qv::kernel {

struct ProfileString {
    std::string text;   // the value (or the default), UTF-8
    int length = 0;     // bytes copied into the caller's buffer, as the platform counts them
                        // (CP932 bytes; 0 for an empty value)
    bool found = false; // the key exists in the file (false: `text` is the default)
};

// Reads `key` of `section`. Missing file, section or key: the default, without its trailing
// spaces (TABs stay), cut to the buffer and unquoted like a value.
ProfileString getProfileString(std::string_view path, std::string_view section, std::string_view key,
                               std::string_view defaultValue = {}, int bufferSize = 1024);

// Writes `value` to `key` of `section`:
//  - creates the file when missing (not its folder), appends a missing section at the end
//    (before a final Ctrl-Z), replaces an existing key's value in place, appends a new key after
//    its section's last key;
//  - key present, value missing (nullopt): deletes the key;
//  - key missing: deletes the whole section;
//  - section missing: fails.
// Deleting what is not there succeeds. Writing the value a key already has leaves the file as it
// is. Returns false when the file could not be written (see lastProfileError()).
bool writeProfileString(std::string_view path, std::optional<std::string_view> section,
                        std::optional<std::string_view> key, std::optional<std::string_view> value);

// Syncs the file (and its folder entry) to disk. Call once after a whole save.
bool flushProfile(std::string_view path);

// While a batch is open on a file, every write to it in this process (through
// writeProfileString, whoever calls it) changes only the in-memory copy, and reads in this process
// see it. commit() writes the file once under its lock: it is read afresh there and the held
// writes are made again in order on what it holds now, so keys another process wrote meanwhile
// survive; the bytes are those the writes made one by one would have left. The new file is synced
// to disk (its folder entry too) before it replaces the old one. Nothing changed: the file is left
// as it is. Scopes on the same file nest; only the outermost one writes (an inner commit() returns
// true). A process forked while a batch is open writes through. The destructor commits when
// commit() was not called, and never throws.
class ProfileBatch {
public:
    explicit ProfileBatch(std::string_view path);   // "" opens nothing; commit() then returns true
    ~ProfileBatch();
    ProfileBatch(const ProfileBatch&) = delete;
    ProfileBatch& operator=(const ProfileBatch&) = delete;

    // False when the file could not be written (see lastProfileError()); the held writes are
    // then lost and the file keeps its bytes (one that was missing may be left empty). Calling it
    // again returns the same result.
    bool commit();

private:
    std::string file_;
    bool open_ = false;
    bool result_ = true;
};

// What went wrong in this thread's last failed write, flush or commit ("" after a success).
std::string lastProfileError();

// The Linux file an ini path names (a bare name lies in the program folder).
std::string profileFilePath(std::string_view path);

// Forgets every parsed file and path mapping kept in memory (tests; files changed behind the
// engine's back are noticed anyway).
void clearProfileCache();

} // namespace qv::kernel
