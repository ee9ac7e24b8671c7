#include "platform/kernel/Paths.h"

#include "platform/basic/Strings.h"
#include "platform/kernel/Encoding.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qv::kernel {
namespace {

std::mutex g_mutex;
std::array<std::string, 26> g_driveOverride;   // "" = default
std::string g_programFolderOverride;
std::set<std::string> g_drivesMade;

bool isSep(char c) noexcept { return c == '\\' || c == '/'; }

bool isDriveLetter(char c) noexcept { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

int driveIndex(char letter) noexcept {
    return (letter >= 'a' && letter <= 'z') ? letter - 'a' : letter - 'A';
}

std::string currentFolder() {
    std::vector<char> buf(4096);
    while (getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE) return ".";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

// Linux path made absolute and tidy: repeated "/" collapse, no trailing "/" (except the root).
std::string normalizeLinux(std::string_view path) {
    std::string full;
    if (path.empty() || path[0] != '/') {
        full = currentFolder();
        full += '/';
    }
    full.append(path);
    std::string out;
    out.reserve(full.size());
    for (char c : full) {
        if (c == '/' && !out.empty() && out.back() == '/') continue;
        out += c;
    }
    if (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

std::string envOr(const char* name, std::string fallback) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : fallback;
}

std::string defaultDriveFolder(char upper) {
    std::string envName = std::string("QUORVANE_DRIVE_") + upper;
    if (const char* v = std::getenv(envName.c_str()); v && *v) return normalizeLinux(v);
    if (upper == 'Z') return "/";
    std::string data = envOr("XDG_DATA_HOME", "");
    if (data.empty()) data = envOr("HOME", "/tmp") + "/.local/share";
    return normalizeLinux(data + "/quorvane/drive_" + static_cast<char>(upper - 'A' + 'a'));
}

// The drive's folder, created on first use: a drive always exists on the original system.
std::string driveFolderMade(char letter) {
    std::string folder = driveFolder(letter);
    std::lock_guard lock(g_mutex);
    if (g_drivesMade.insert(folder).second) {
        struct stat st{};
        if (::stat(folder.c_str(), &st) != 0) makeFolderTree(folder);
    }
    return folder;
}

// Finds `name` in `folder` ignoring ASCII case; "" when no entry matches. Of several matches the
// smallest name wins, so the answer does not depend on directory order.
std::string findCaseInsensitive(const std::string& folder, std::string_view name) {
    DIR* d = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!d) return {};
    std::string best;
    while (dirent* e = ::readdir(d)) {
        std::string_view entry(e->d_name);
        if (asciiIEquals(entry, name) && (best.empty() || entry < best)) best = entry;
    }
    ::closedir(d);
    return best;
}

std::vector<std::string_view> splitElements(std::string_view rest) {
    std::vector<std::string_view> parts;
    std::size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && isSep(rest[i])) ++i;
        std::size_t j = i;
        while (j < rest.size() && !isSep(rest[j])) ++j;
        if (j > i) parts.push_back(rest.substr(i, j - i));
        i = j;
    }
    return parts;
}

} // namespace

std::string driveFolder(char letter) {
    if (!isDriveLetter(letter)) return {};
    {
        std::lock_guard lock(g_mutex);
        const std::string& o = g_driveOverride[driveIndex(letter)];
        if (!o.empty()) return o;
    }
    return defaultDriveFolder(static_cast<char>('A' + driveIndex(letter)));
}

void setDriveFolder(char letter, std::string_view linuxFolder) {
    if (!isDriveLetter(letter)) return;
    std::lock_guard lock(g_mutex);
    g_driveOverride[driveIndex(letter)] = linuxFolder.empty() ? std::string() : normalizeLinux(linuxFolder);
}

std::string toLinuxPath(std::string_view path) {
    bool exact;
    return toLinuxPath(path, exact);
}

std::string toLinuxPath(std::string_view path, bool& exact) {
    exact = false;
    if (path.empty()) return {};
    std::string base;          // folder the elements are looked up in; "" = current folder
    std::string_view rest;
    if (path[0] == '/') {
        base = "/";
        rest = path.substr(1);
    } else if (path.size() >= 2 && path[1] == ':' && isDriveLetter(path[0])) {
        base = driveFolderMade(path[0]);
        rest = path.substr(2);
    } else if (path[0] == '\\') {
        base = driveFolderMade('C');
        rest = path.substr(1);
    } else {
        rest = path;
    }
    std::string out = base;
    bool lookUp = true;   // false once an element is missing: nothing below it exists
    exact = true;
    for (std::string_view element : splitElements(rest)) {
        std::string folder = out;
        if (!out.empty() && out.back() != '/') out += '/';
        if (lookUp && element != "." && element != "..") {
            std::string given = out + std::string(element);
            struct stat st{};
            if (::lstat(given.c_str(), &st) != 0) {
                std::string found = findCaseInsensitive(folder, element);
                exact = false;
                if (found.empty()) {
                    lookUp = false;
                } else {
                    out += found;
                    continue;
                }
            }
        }
        out.append(element);
    }
    if (out.empty()) out.assign(1, '.');
    return out;
}

std::string toWindowsPath(std::string_view linuxPath) {
    if (linuxPath.empty()) return {};
    std::string full = normalizeLinux(linuxPath);
    char bestDrive = 'Z';
    std::size_t bestLen = 0;
    for (char d = 'A'; d <= 'Y'; ++d) {
        bool known;
        {
            std::lock_guard lock(g_mutex);
            known = !g_driveOverride[driveIndex(d)].empty();
        }
        std::string envName = std::string("QUORVANE_DRIVE_") + d;
        if (!known && d != 'C' && !std::getenv(envName.c_str())) continue;
        std::string folder = driveFolder(d);
        std::size_t len = folder == "/" ? 1 : folder.size();
        bool under = full == folder ||
                     (full.size() > len && full.compare(0, folder.size(), folder) == 0 &&
                      (folder == "/" || full[folder.size()] == '/'));
        if (under && len > bestLen) {
            bestLen = len;
            bestDrive = d;
        }
    }
    std::string rest;
    if (bestLen == 0) {
        std::string zFolder = driveFolder('Z');
        if (zFolder != "/" && full.compare(0, zFolder.size(), zFolder) == 0 &&
            (full.size() == zFolder.size() || full[zFolder.size()] == '/'))
            rest = full.substr(zFolder.size());
        else
            rest = full;
    } else {
        rest = bestLen == 1 ? full : full.substr(bestLen);
    }
    std::string out(1, bestDrive);
    out += ':';
    for (char c : rest) out += c == '/' ? '\\' : c;
    if (out.size() == 2) out += '\\';
    return out;
}

std::string programFolder() {
    {
        std::lock_guard lock(g_mutex);
        if (!g_programFolderOverride.empty()) return g_programFolderOverride;
    }
    if (const char* home = std::getenv("QUORVANE_HOME"); home && *home) return normalizeLinux(home);
    // The executable does not move while it runs: its folder is looked up once.
    static const std::string exeFolder = [] {
        std::vector<char> buf(4096);
        ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
        if (n <= 0) return std::string();
        std::string exe(buf.data(), static_cast<std::size_t>(n));
        std::size_t slash = exe.rfind('/');
        return slash == 0 ? std::string("/") : exe.substr(0, slash);
    }();
    return exeFolder.empty() ? currentFolder() : exeFolder;
}

std::string programFolderWindows() { return toWindowsPath(programFolder()); }

void setProgramFolder(std::string_view linuxFolder) {
    std::lock_guard lock(g_mutex);
    g_programFolderOverride = linuxFolder.empty() ? std::string() : normalizeLinux(linuxFolder);
}

std::string searchPath(std::string_view name) {
    if (name.empty()) return {};
    bool hasFolder = name.find_first_of("\\/") != std::string_view::npos ||
                     (name.size() >= 2 && name[1] == ':' && isDriveLetter(name[0]));
    std::string found;
    if (hasFolder) {
        std::string native = toLinuxPath(name);
        if (pathExists(native)) found = native;
    } else {
        std::vector<std::string> folders{programFolder(), currentFolder()};
        std::string pathVar = envOr("PATH", "");
        std::size_t start = 0;
        while (start <= pathVar.size() && !pathVar.empty()) {
            std::size_t colon = pathVar.find(':', start);
            std::string dir = pathVar.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
            folders.push_back(dir.empty() ? currentFolder() : dir);
            if (colon == std::string::npos) break;
            start = colon + 1;
        }
        for (const std::string& folder : folders) {
            std::string candidate = toLinuxPath(normalizeLinux(folder) + "/" + std::string(name));
            if (pathExists(candidate)) {
                found = candidate;
                break;
            }
        }
    }
    if (found.empty()) return {};
    std::string win = toWindowsPath(found);
    return win.size() > 511 ? std::string() : win;
}

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    // "*.*" names every entry, those without an extension too.
    return pattern == "*.*" || basic::LikeText(name, pattern);
}

std::string dirFirst(std::string_view pattern) {
    if (pattern.empty()) return {};
    std::size_t sep = pattern.find_last_of("\\/");
    std::string_view folderPart, namePart;
    if (sep == std::string_view::npos) {
        if (pattern.size() >= 2 && pattern[1] == ':' && isDriveLetter(pattern[0])) {
            folderPart = pattern.substr(0, 2);
            namePart = pattern.substr(2);
        } else {
            namePart = pattern;
        }
    } else {
        folderPart = pattern.substr(0, sep + 1);
        namePart = pattern.substr(sep + 1);
    }
    if (namePart.empty()) return {};
    std::string folder = folderPart.empty() ? std::string(".") : toLinuxPath(folderPart);
    DIR* d = ::opendir(folder.c_str());
    if (!d) return {};
    std::vector<std::string> matches;
    while (dirent* e = ::readdir(d)) {
        std::string_view entry(e->d_name);
        if (entry == "." || entry == "..") continue;
        if (wildcardMatch(namePart, entry)) matches.emplace_back(entry);
    }
    ::closedir(d);
    if (matches.empty()) return {};
    return *std::min_element(matches.begin(), matches.end(), [](const std::string& a, const std::string& b) {
        std::string la = asciiLower(a), lb = asciiLower(b);
        return la != lb ? la < lb : a < b;
    });
}

bool makeFolderTree(std::string_view linuxFolder) {
    std::string folder(linuxFolder);
    for (std::size_t pos = folder.find('/', 1);; pos = folder.find('/', pos + 1)) {
        ::mkdir(folder.substr(0, pos).c_str(), 0777);
        if (pos == std::string::npos) break;
    }
    struct stat st{};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool makeDirectory(std::string_view path) {
    std::string native = toLinuxPath(path);
    if (native.empty()) return false;
    if (::mkdir(native.c_str(), 0777) == 0) return true;
    return errno == EEXIST && isDirectory(native);
}

bool pathExists(std::string_view path) {
    std::string native = toLinuxPath(path);
    struct stat st{};
    return !native.empty() && ::stat(native.c_str(), &st) == 0;
}

bool isDirectory(std::string_view path) {
    std::string native = toLinuxPath(path);
    struct stat st{};
    return !native.empty() && ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isRegularFile(std::string_view path) {
    std::string native = toLinuxPath(path);
    struct stat st{};
    return !native.empty() && ::stat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace qv::kernel
