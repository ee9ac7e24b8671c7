#pragma once
// Windows-style paths ("C:\SETTING.SET", App.Path & "\LOG\") mapped onto the Linux file system.
//  - "\" and "/" both separate; repeated separators collapse.
//  - A drive letter names a folder: drive C is $QUORVANE_DRIVE_C, else $XDG_DATA_HOME/quorvane/drive_c
//    (~/.local/share/... when XDG_DATA_HOME is unset); any drive X likewise $QUORVANE_DRIVE_X or
//    .../drive_x, except Z, which is the Linux root "/" so that every Linux path has a Windows form.
//    A drive's folder is created (with its parents) the first time a path on it is mapped.
//  - A path that starts with "/" is a Linux absolute path; one that starts with "\" is on drive C.
//  - Other relative paths are relative to the current folder.
//  - Each existing element is found case-insensitively when the exact name does not exist, as on
//    the original system; names that do not exist keep the case they were given.
#include <optional>
#include <string>
#include <string_view>

namespace qv::kernel {

// Windows-style (or Linux) path -> Linux path. "" stays "".
std::string toLinuxPath(std::string_view path);
// The same; `exact` tells whether every element exists under the very name given (none found by
// another case, none missing). Such a mapping stays what it is for as long as the file exists.
std::string toLinuxPath(std::string_view path, bool& exact);
// Linux path -> Windows-style path on the drive whose folder holds it (longest match), else Z:.
// Relative paths are made absolute against the current folder first.
std::string toWindowsPath(std::string_view linuxPath);

// Linux folder of a drive letter (either case). Tests and installs may set it; "" restores the
// default from the environment.
std::string driveFolder(char letter);
void setDriveFolder(char letter, std::string_view linuxFolder);

// The program folder (D8): the executable's folder; QUORVANE_HOME overrides it; tests may set it
// (an empty value restores the default).
std::string programFolder();            // Linux path, no trailing "/" (except "/")
std::string programFolderWindows();     // as App.Path: "C:\Tolvane", a drive root as "C:\"
void setProgramFolder(std::string_view linuxFolder);

// The platform's search-path lookup: a name with a folder (absolute or relative) is taken as it is;
// a bare name is looked for in the program folder, the current folder, then each folder of PATH.
// Returns the full Windows-style path of the first existing file or folder, or "" when none is
// found or the result would not fit a 512-character buffer (longer than 511 characters).
std::string searchPath(std::string_view name);

// Dir-style lookup: `pattern` is a folder part and a last element that may hold "*" and "?",
// matched case-insensitively against every entry (hidden entries and folders included, "." and
// ".." excluded). Returns the bare name of the first match in name order, or "".
std::string dirFirst(std::string_view pattern);
// Wildcard match as Dir does it: "*" any run, "?" any one character, ASCII case folded;
// "*.*" matches every name.
bool wildcardMatch(std::string_view pattern, std::string_view name);

// MkDir: creates the last element of `path` as a folder (its parent must exist). True when the
// folder exists afterwards (created now or already there).
bool makeDirectory(std::string_view path);
// A Linux folder and every missing folder above it, for the program's own folders (drives, the
// settings store). True when the folder exists afterwards.
bool makeFolderTree(std::string_view linuxFolder);
// True when the path names an existing file or folder.
bool pathExists(std::string_view path);
bool isDirectory(std::string_view path);
bool isRegularFile(std::string_view path);

} // namespace qv::kernel
