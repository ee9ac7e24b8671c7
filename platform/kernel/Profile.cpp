#include "platform/kernel/Profile.h"

#include "platform/kernel/Encoding.h"
#include "platform/kernel/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <linux/magic.h>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace qv::kernel {
namespace {

thread_local std::string t_lastError;

bool isBlank(char c) noexcept { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) noexcept {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view unquote(std::string_view s) noexcept {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

std::string errnoText(const char* what, const std::string& file) {
    return std::string(what) + " " + file + ": " + std::strerror(errno);
}

struct Line {
    // Bare: a line without "=" whose trimmed text is a key name; a write to that key uses it.
    enum Kind : unsigned char { Other, Section, Key, Bare };
    std::size_t start = 0, length = 0, eol = 0;   // bytes of the text and of its line end
    Kind kind = Other;
    std::string name;                           // section or key name: decoded, trimmed, folded
    std::size_t nameStart = 0, nameLength = 0;  // key name as written (trimmed)
    std::size_t valueStart = 0, valueLength = 0; // value as written (trimmed)
};

struct Index;

struct Parsed {
    std::string raw;
    bool utf8 = false;      // started with the UTF-8 byte-order mark
    bool utf16 = false;     // started with the UTF-16 mark: never touched
    std::vector<Line> lines;
    // What the bytes were checked against, and when (see loadParsed).
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{}, ctime{}, verifiedAt{};
    bool fineTimes = false;   // on a file system whose times tell changes apart within 0.1 s
    // Look-up tables for reads, made once a run of reads makes them pay (see indexFor) and
    // dropped by every edit. Copies of a parse share them until one of them is edited.
    mutable std::shared_ptr<Index> index;
    mutable unsigned readsUnindexed = 0;

    std::string decode(std::string_view bytes) const { return utf8 ? std::string(bytes) : cp932ToUtf8(bytes); }

    // Where the text ends: a Ctrl-Z that ends the file is not part of it.
    std::size_t end() const { return !raw.empty() && raw.back() == '\x1A' ? raw.size() - 1 : raw.size(); }
    std::string encode(std::string_view text) const { return utf8 ? std::string(text) : utf8ToCp932(text); }

    // Bytes of `bytes` that fit a buffer of `max` CP932 bytes without splitting a character,
    // and the CP932 bytes they count: a UTF-8 file counts as the original would have read it.
    std::size_t fit(std::string_view bytes, std::size_t max, std::size_t& counted) const {
        if (!utf8) return counted = cp932FitLength(bytes, max);
        std::size_t n = bytes.size() <= max ? bytes.size() : utf8CutToCp932Bytes(bytes, max).size();
        counted = cp932Length(bytes.substr(0, n));
        return n;
    }
};

// Name as the original compared it: the caller's text goes through the code page first.
std::string foldName(std::string_view name, bool utf8) {
    std::string_view t = trim(name);
    // ASCII goes through the code page unchanged.
    if (utf8 || std::all_of(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return asciiLower(t);
    return asciiLower(cp932ToUtf8(utf8ToCp932(t)));
}

// Parses the lines of p.raw[begin, end) (begin at a line start) into `out`.
void parseLines(const Parsed& p, std::size_t begin, std::size_t end, std::vector<Line>& out) {
    const std::string& r = p.raw;
    std::size_t pos = begin;
    while (pos < end) {
        Line line;
        line.start = pos;
        std::size_t stop = r.find_first_of("\r\n", pos);
        if (stop == std::string::npos || stop > end) stop = end;
        line.length = stop - pos;
        if (stop < end) line.eol = (r[stop] == '\r' && stop + 1 < end && r[stop + 1] == '\n') ? 2 : 1;
        std::string_view t = trim(std::string_view(r.data() + pos, line.length));
        // A header's name runs to the last "]" of the line; "]" is a CP932 trail byte too, so
        // double-byte characters are stepped over. No "]": no header.
        std::size_t close = 0;
        if (!t.empty() && t.front() == '[')
            for (std::size_t i = 1; i < t.size();
                 i += (!p.utf8 && isCp932LeadByte(static_cast<unsigned char>(t[i]))) ? 2 : 1)
                if (t[i] == ']') close = i;
        std::size_t eq = t.find('=');   // "=" (0x3D) is never a CP932 trail byte
        if (close > 0) {
            line.kind = Line::Section;
            line.name = asciiLower(p.decode(trim(t.substr(1, close - 1))));
        } else if (eq != std::string_view::npos) {
            std::string_view key = trim(t.substr(0, eq));
            // A value ends at its first NUL byte.
            std::string_view value = t.substr(eq + 1);
            value = trim(value.substr(0, value.find('\0')));
            line.kind = Line::Key;
            line.name = asciiLower(p.decode(key));
            line.nameStart = static_cast<std::size_t>(key.data() - r.data());
            line.nameLength = key.size();
            line.valueStart = static_cast<std::size_t>(value.data() - r.data());
            line.valueLength = value.size();
        } else if (!t.empty()) {
            line.kind = Line::Bare;
            line.name = asciiLower(p.decode(t));
            line.nameStart = static_cast<std::size_t>(t.data() - r.data());
            line.nameLength = t.size();
        }
        pos = stop + line.eol;
        out.push_back(std::move(line));
    }
}

void parseInto(Parsed& p) {
    p.lines.clear();
    p.index.reset();
    p.readsUnindexed = 0;
    p.utf8 = p.raw.compare(0, 3, "\xEF\xBB\xBF") == 0;
    p.utf16 = p.raw.size() >= 2 && static_cast<unsigned char>(p.raw[0]) == 0xFF &&
              static_cast<unsigned char>(p.raw[1]) == 0xFE;
    if (!p.utf16) parseLines(p, std::min<std::size_t>(p.utf8 ? 3 : 0, p.end()), p.end(), p.lines);
}

// A change of the file's bytes: [from, to) becomes `text`.
struct Splice {
    std::size_t from = 0, to = 0;
    std::string text;
};

// Applies the splice and parses again only the lines it touched (and the one before it, whose
// line end may join the new text): thousands of writes in a row stay linear.
void applySplice(Parsed& p, const Splice& s) {
    std::size_t n = p.lines.size();
    std::size_t i0 = 0;
    while (i0 < n && p.lines[i0].start + p.lines[i0].length + p.lines[i0].eol <= s.from &&
           !(p.lines[i0].eol == 0 && p.lines[i0].start + p.lines[i0].length >= s.from))
        ++i0;
    if (i0 > 0) --i0;
    std::size_t i1 = i0;
    while (i1 < n && (p.lines[i1].start < s.to || p.lines[i1].start <= s.from)) ++i1;
    std::size_t begin = i0 < n ? std::min(p.lines[i0].start, s.from) : s.from;
    std::size_t oldEnd = i1 < n ? p.lines[i1].start : p.end();
    std::ptrdiff_t delta = static_cast<std::ptrdiff_t>(s.text.size()) - static_cast<std::ptrdiff_t>(s.to - s.from);
    p.index.reset();
    p.readsUnindexed = 0;
    p.raw.replace(s.from, s.to - s.from, s.text);
    std::vector<Line> fresh;
    parseLines(p, begin, static_cast<std::size_t>(static_cast<std::ptrdiff_t>(oldEnd) + delta), fresh);
    for (std::size_t i = i1; i < n; ++i) {
        Line& l = p.lines[i];
        l.start += delta;
        if (l.kind == Line::Key || l.kind == Line::Bare) {
            l.nameStart += delta;
            l.valueStart += delta;
        }
    }
    // The lines after the change move only when their number changes (a value replaced in
    // place moves none).
    std::size_t common = std::min(fresh.size(), i1 - i0);
    std::move(fresh.begin(), fresh.begin() + static_cast<std::ptrdiff_t>(common),
              p.lines.begin() + static_cast<std::ptrdiff_t>(i0));
    auto at = p.lines.begin() + static_cast<std::ptrdiff_t>(i0 + common);
    if (fresh.size() > common)
        p.lines.insert(at, std::make_move_iterator(fresh.begin() + static_cast<std::ptrdiff_t>(common)),
                       std::make_move_iterator(fresh.end()));
    else
        p.lines.erase(at, p.lines.begin() + static_cast<std::ptrdiff_t>(i1));
}

bool sameTime(const timespec& a, const timespec& b) noexcept {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

timespec nowRealtime() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return t;
}

// Parsed files by Linux path. Each entry is used under g_cacheMutex only.
std::mutex g_cacheMutex;
std::unordered_map<std::string, std::shared_ptr<Parsed>> g_cache;

void remember(const std::string& file, std::shared_ptr<Parsed> parsed) {
    if (g_cache.size() >= 64 && !g_cache.count(file)) g_cache.clear();
    g_cache[file] = std::move(parsed);
}

bool readAll(int fd, std::string& out) {
    out.clear();
    char buf[65536];
    off_t offset = 0;
    for (;;) {
        ssize_t n = ::pread(fd, buf, sizeof buf, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return true;
        out.append(buf, static_cast<std::size_t>(n));
        offset += n;
    }
}

// True when the file examined as `st` is the one `p` was made from: same inode, size and times,
// and last changed well before the bytes were checked (a change within the file system's time
// granularity could otherwise go unseen).
bool stillTheSame(const Parsed& p, const struct stat& st) {
    if (p.dev != st.st_dev || p.ino != st.st_ino || p.size != st.st_size || !sameTime(p.mtime, st.st_mtim) ||
        !sameTime(p.ctime, st.st_ctim))
        return false;
    if (!p.fineTimes) return st.st_mtim.tv_sec + 2 < p.verifiedAt.tv_sec;
    const long long ns = 1'000'000'000;
    return (p.verifiedAt.tv_sec - st.st_mtim.tv_sec) * ns + (p.verifiedAt.tv_nsec - st.st_mtim.tv_nsec) > ns / 10;
}

// Whether the file system of `fd` tells changes apart within 0.1 s. Local Linux file systems keep
// nanoseconds and stamp a change with a clock at most a tick (10 ms) behind the real time, so a
// change made after the bytes were checked gets a later time than one made 0.1 s before the
// check. Others (FAT's two seconds, network and user-space file systems with their own clocks)
// are trusted only seconds after their last change.
bool hasFineTimes(int fd) {
    struct statfs fs{};
    if (::fstatfs(fd, &fs) != 0) return false;
    switch (fs.f_type) {
    case EXT4_SUPER_MAGIC: case TMPFS_MAGIC: case XFS_SUPER_MAGIC: case BTRFS_SUPER_MAGIC:
    case F2FS_SUPER_MAGIC: case OVERLAYFS_SUPER_MAGIC:
        return true;
    default:
        return false;
    }
}

// The parsed content of the open file `fd`. The cached parse is reused when the file is the one
// it was made from: same inode, size and times, and last changed well before the bytes were
// checked (a change within the file system's time granularity could otherwise go unseen); else
// the bytes are read and compared, and parsed again only when they differ.
std::shared_ptr<Parsed> loadParsed(int fd, const std::string& file) {
    struct stat st{};
    if (::fstat(fd, &st) != 0) {
        t_lastError = errnoText("cannot examine", file);
        return nullptr;
    }
    timespec checkedAt = nowRealtime();
    std::shared_ptr<Parsed> cached;
    if (auto it = g_cache.find(file); it != g_cache.end()) cached = it->second;
    if (cached && stillTheSame(*cached, st)) return cached;
    std::string bytes;
    if (!readAll(fd, bytes)) {
        t_lastError = errnoText("cannot read", file);
        return nullptr;
    }
    // The same device is the same file system: asked once per file while it stays there.
    bool fineTimes = cached && cached->dev == st.st_dev ? cached->fineTimes : hasFineTimes(fd);
    std::shared_ptr<Parsed> parsed;
    if (cached && cached->raw == bytes) {
        parsed = cached;
    } else {
        parsed = std::make_shared<Parsed>();
        parsed->raw = std::move(bytes);
        parseInto(*parsed);
    }
    parsed->dev = st.st_dev;
    parsed->ino = st.st_ino;
    parsed->size = st.st_size;
    parsed->mtime = st.st_mtim;
    parsed->ctime = st.st_ctim;
    parsed->verifiedAt = checkedAt;
    parsed->fineTimes = fineTimes;
    remember(file, parsed);
    return parsed;
}

// A section: its header line (-1 for the lines before the first header, the section named "")
// and its lines [first, end).
struct SectionRef {
    long header = -1;
    std::size_t first = 0, end = 0;
};

// The first section named `folded`.
std::optional<SectionRef> findSection(const Parsed& p, const std::string& folded) {
    std::size_t n = p.lines.size(), i = 0;
    auto endFrom = [&](std::size_t j) {
        while (j < n && p.lines[j].kind != Line::Section) ++j;
        return j;
    };
    if (folded.empty() && n > 0 && p.lines[0].kind != Line::Section) return SectionRef{-1, 0, endFrom(0)};
    for (; i < n; ++i)
        if (p.lines[i].kind == Line::Section && p.lines[i].name == folded)
            return SectionRef{static_cast<long>(i), i + 1, endFrom(i + 1)};
    return std::nullopt;
}

// The first line of the section that holds `folded`: a key line, or for a write (`bare`) also a
// line that is only the key's name.
long findKey(const Parsed& p, const SectionRef& sec, const std::string& folded, bool bare) {
    for (std::size_t i = sec.first; i < sec.end; ++i) {
        const Line& l = p.lines[i];
        if ((l.kind == Line::Key || (bare && l.kind == Line::Bare)) && l.name == folded)
            return static_cast<long>(i);
    }
    return -1;
}

// What reads look names up in: the first section of each name, and per section read so far the
// first key line of each name.
struct Index {
    std::unordered_map<std::string, SectionRef> sections;
    std::optional<SectionRef> beforeFirstHeader;   // lines before the first header (the "" section)
    std::unordered_map<long, std::unordered_map<std::string, std::size_t>> keys;   // by header line
};

// The parse's index, or null while a plain scan is cheaper: an index costs about as much as a
// few scans, so it is made on the eighth read since the last edit. A save that reads and writes
// in turn keeps scanning; a load that reads hundreds of keys looks each up at once.
Index* indexFor(const Parsed& p) {
    if (p.index) return p.index.get();
    if (++p.readsUnindexed < 8) return nullptr;
    auto index = std::make_shared<Index>();
    std::vector<std::size_t> headers;
    for (std::size_t i = 0; i < p.lines.size(); ++i)
        if (p.lines[i].kind == Line::Section) headers.push_back(i);
    std::size_t n = p.lines.size();
    if (n > 0 && p.lines[0].kind != Line::Section)
        index->beforeFirstHeader = SectionRef{-1, 0, headers.empty() ? n : headers.front()};
    for (std::size_t j = 0; j < headers.size(); ++j)
        index->sections.try_emplace(p.lines[headers[j]].name,
                                    SectionRef{static_cast<long>(headers[j]), headers[j] + 1,
                                               j + 1 < headers.size() ? headers[j + 1] : n});
    p.index = std::move(index);
    return p.index.get();
}

// findSection and findKey (key lines only) through the index when there is one.
std::optional<SectionRef> findSectionToRead(const Parsed& p, const std::string& folded) {
    Index* index = indexFor(p);
    if (!index) return findSection(p, folded);
    if (folded.empty() && index->beforeFirstHeader) return index->beforeFirstHeader;
    auto it = index->sections.find(folded);
    if (it == index->sections.end()) return std::nullopt;
    return it->second;
}

long findKeyToRead(const Parsed& p, const SectionRef& sec, const std::string& folded) {
    if (!p.index) return findKey(p, sec, folded, false);
    auto it = p.index->keys.find(sec.header);
    if (it == p.index->keys.end()) {
        // Made whole before it is kept: memory running out half-way must not leave keys out.
        std::unordered_map<std::string, std::size_t> keys;
        for (std::size_t i = sec.first; i < sec.end; ++i)
            if (p.lines[i].kind == Line::Key) keys.try_emplace(p.lines[i].name, i);
        it = p.index->keys.emplace(sec.header, std::move(keys)).first;
    }
    auto key = it->second.find(folded);
    return key == it->second.end() ? -1 : static_cast<long>(key->second);
}

// The value as the caller's buffer gets it. A value enclosed in a pair of equal quotes (" or ')
// loses its opening quote first; the rest, closing quote included, is cut to the buffer's CP932
// bytes; then, only when the buffer was at least as long as that rest, its last character goes
// (the closing quote, or the character before it when the buffer was one byte short of it).
ProfileString copyToBuffer(const Parsed* p, std::string_view bytes, int bufferSize, bool found) {
    ProfileString out;
    out.found = found;
    if (bufferSize <= 0) return out;
    auto fit = [p](std::string_view b, std::size_t max, std::size_t& counted) {
        return p ? p->fit(b, max, counted) : (counted = cp932FitLength(b, max));
    };
    bool quoted = unquote(bytes).size() != bytes.size();
    if (quoted) bytes.remove_prefix(1);
    std::size_t max = static_cast<std::size_t>(bufferSize) - 1, counted = 0;
    std::string_view kept = bytes.substr(0, fit(bytes, max, counted));
    if (quoted && counted > 0) {
        std::size_t rest = kept.size() == bytes.size() ? counted
                           : p && p->utf8              ? cp932Length(bytes)
                                                       : bytes.size();
        if (rest <= max + 1) kept = kept.substr(0, fit(kept, counted - 1, counted));
    }
    out.length = static_cast<int>(counted);
    out.text = p ? p->decode(kept) : cp932ToUtf8(kept);
    return out;
}

// The default: trailing spaces go (TABs stay), then it is cut and unquoted like a value.
ProfileString defaultString(std::string_view defaultValue, int bufferSize) {
    while (!defaultValue.empty() && defaultValue.back() == ' ') defaultValue.remove_suffix(1);
    std::string bytes = utf8ToCp932(defaultValue);
    return copyToBuffer(nullptr, bytes, bufferSize, false);
}

int openRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Follows a symbolic link so that the file it names is replaced, not the link.
std::string resolveLink(const std::string& file) {
    struct stat st{};
    if (::lstat(file.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(file.c_str(), nullptr)) {
            std::string out(real);
            std::free(real);
            return out;
        }
    }
    return file;
}

// Closes a descriptor however the scope ends: one left open by an exception (out of memory
// while parsing) would keep its lock, and this process's next update of the file would wait on
// it for ever.
struct ClosedAtScopeEnd {
    int fd;
    ~ClosedAtScopeEnd() {
        if (fd >= 0) ::close(fd);
    }
};

// Opens and locks the file for a read-modify-write. A writer in another process may have renamed
// a new file over the one we locked while we waited: then lock the new one.
int lockForUpdate(const std::string& file, bool create, bool& missing) {
    missing = false;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        int fd = openRetrying(file.c_str(), O_RDONLY | (create ? O_CREAT : 0), 0666);
        if (fd < 0) {
            if (errno == ENOENT && !create) missing = true;
            else t_lastError = errnoText("cannot open", file);
            return -1;
        }
        int rc;
        do {
            rc = ::flock(fd, LOCK_EX);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            t_lastError = errnoText("cannot lock", file);
            ::close(fd);
            return -1;
        }
        struct stat held{}, now{};
        if (::fstat(fd, &held) == 0 && ::stat(file.c_str(), &now) == 0 && held.st_dev == now.st_dev &&
            held.st_ino == now.st_ino)
            return fd;
        ::close(fd);
    }
    t_lastError = "cannot lock " + file + ": it keeps being replaced";
    return -1;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string folderOf(const std::string& file) {
    std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : file.substr(0, slash));
}

// Writes `bytes` to a new file beside `file` and renames it over `file` (syncing the new file
// to disk first when `sync`). The new file's identity is stored in `parsed`.
bool replaceFile(const std::string& file, std::string_view bytes, mode_t mode, Parsed& parsed, bool sync) {
    std::string folder = folderOf(file);
    std::string base = file.substr(file.rfind('/') + 1);
    std::string temp = folder + "/." + base + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        t_lastError = errnoText("cannot create a temporary file in", folder);
        return false;
    }
    bool ok = writeAll(fd, bytes);
    if (!ok) t_lastError = errnoText("cannot write", temp);
    if (ok && ::fchmod(fd, mode & 07777) != 0) {
        t_lastError = errnoText("cannot set the mode of", temp);
        ok = false;
    }
    if (ok && sync && ::fsync(fd) != 0) {
        t_lastError = errnoText("cannot sync", temp);
        ok = false;
    }
    struct stat st{};
    if (ok && ::fstat(fd, &st) != 0) {
        t_lastError = errnoText("cannot examine", temp);
        ok = false;
    }
    bool fineTimes = ok && hasFineTimes(fd);
    if (::close(fd) != 0 && ok) {
        t_lastError = errnoText("cannot write", temp);
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), file.c_str()) != 0) {
        t_lastError = errnoText("cannot replace", file);
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    parsed.dev = st.st_dev;
    parsed.ino = st.st_ino;
    parsed.size = st.st_size;
    parsed.mtime = st.st_mtim;
    parsed.ctime = st.st_ctim;
    parsed.verifiedAt = nowRealtime();
    parsed.fineTimes = fineTimes;
    return true;
}

const std::string kNewLine = "\r\n";

// The change the request makes to the file, or nullopt when the file stays as it is.
std::optional<Splice> edit(const Parsed& p, std::string_view section, std::optional<std::string_view> key,
                           std::optional<std::string_view> value) {
    const std::string& r = p.raw;
    std::optional<SectionRef> sec = findSection(p, foldName(section, p.utf8));
    auto lineEnd = [&](std::size_t i) { return p.lines[i].start + p.lines[i].length + p.lines[i].eol; };
    auto lineStart = [&](std::size_t i) { return i < p.lines.size() ? p.lines[i].start : p.end(); };
    if (!key) {   // delete the section, up to the next one
        if (!sec) return std::nullopt;
        return Splice{lineStart(sec->header < 0 ? 0 : static_cast<std::size_t>(sec->header)), lineStart(sec->end), {}};
    }
    std::string keyName(trim(*key));
    long at = sec ? findKey(p, *sec, foldName(keyName, p.utf8), true) : -1;
    if (!value) {   // delete the key
        if (at < 0) return std::nullopt;
        return Splice{p.lines[static_cast<std::size_t>(at)].start, lineEnd(static_cast<std::size_t>(at)), {}};
    }
    std::string encoded = p.encode(*value);
    if (at >= 0) {   // replace in place, keeping the key as the file spells it and the line end
        const Line& l = p.lines[static_cast<std::size_t>(at)];
        if (l.kind == Line::Key && std::string_view(r).substr(l.valueStart, l.valueLength) == encoded)
            return std::nullopt;
        return Splice{l.start, l.start + l.length, r.substr(l.nameStart, l.nameLength) + "=" + encoded};
    }
    std::string entry = p.encode(keyName) + "=" + encoded + kNewLine;
    if (sec) {   // after the section's last key line (or its header; the file's start for "")
        long after = sec->header;
        for (std::size_t i = sec->first; i < sec->end; ++i)
            if (p.lines[i].kind == Line::Key) after = static_cast<long>(i);
        if (after < 0) {
            std::size_t pos = lineStart(0);
            return Splice{pos, pos, entry};
        }
        std::size_t pos = lineEnd(static_cast<std::size_t>(after));
        return Splice{pos, pos, p.lines[static_cast<std::size_t>(after)].eol == 0 ? kNewLine + entry : entry};
    }
    // A new section at the end.
    std::string text;
    if (!p.lines.empty() && p.lines.back().eol == 0 && p.lines.back().length > 0) text += kNewLine;
    text += '[';
    text += p.encode(trim(section));
    text += ']';
    text += kNewLine;
    text += entry;
    return Splice{p.end(), p.end(), text};
}

// Syncs the folder entry of `file` (the rename that put it in place).
bool syncFolder(const std::string& file) {
    std::string folder = folderOf(file);
    int dfd = openRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd < 0) return true;   // a folder we may not open cannot be synced by us either
    bool ok = ::fsync(dfd) == 0;
    if (!ok) t_lastError = errnoText("cannot sync", folder);
    ::close(dfd);
    return ok;
}

// The value `key` of `section` has in `p`, or the default.
ProfileString lookUp(const Parsed& p, std::string_view section, std::string_view key,
                     std::string_view defaultValue, int bufferSize) {
    if (p.utf16) return defaultString(defaultValue, bufferSize);
    std::optional<SectionRef> sec = findSectionToRead(p, foldName(section, p.utf8));
    if (!sec) return defaultString(defaultValue, bufferSize);
    long at = findKeyToRead(p, *sec, foldName(key, p.utf8));
    if (at < 0) return defaultString(defaultValue, bufferSize);
    const Line& l = p.lines[static_cast<std::size_t>(at)];
    return copyToBuffer(&p, std::string_view(p.raw).substr(l.valueStart, l.valueLength), bufferSize, true);
}

// One write held back by a batch, as the caller asked for it.
struct HeldWrite {
    std::string section;
    std::optional<std::string> key, value;

    void applyTo(Parsed& p) const {
        std::optional<std::string_view> k, v;
        if (key) k = *key;
        if (value) v = *value;
        if (std::optional<Splice> change = edit(p, section, k, v)) applySplice(p, *change);
    }
};

std::string utf16Refusal(const std::string& file) { return "will not write " + file + ": it is a UTF-16 file"; }

// The writes held back for one file while ProfileBatch scopes are open on it. Used under
// g_cacheMutex only.
struct Batch {
    pid_t owner = 0;                    // a child forked meanwhile writes through
    int depth = 0;                      // open scopes
    std::string base;                   // the file's bytes when the batch began
    std::shared_ptr<Parsed> working;    // `base` with the held writes applied; null: unreadable
    std::string loadError;              // why `working` is null
    std::vector<HeldWrite> writes;      // in the order they were made
    bool creates = false;               // a held write would have created a missing file
};

std::unordered_map<std::string, Batch> g_batches;

Batch* batchFor(const std::string& file) {
    if (g_batches.empty()) return nullptr;
    auto it = g_batches.find(file);
    return it != g_batches.end() && it->second.owner == ::getpid() ? &it->second : nullptr;
}

void beginBatch(const std::string& file, Batch& b) {
    b = Batch{};
    b.owner = ::getpid();
    int fd = openRetrying(file.c_str(), O_RDONLY);
    if (fd < 0) {
        if (errno == ENOENT) b.working = std::make_shared<Parsed>();
        else b.loadError = errnoText("cannot open", file);
        return;
    }
    const ClosedAtScopeEnd closing{fd};
    std::string saved = t_lastError;
    std::shared_ptr<Parsed> p = loadParsed(fd, file);
    if (p) {
        b.working = std::make_shared<Parsed>(*p);   // the cache keeps describing the file itself
        b.base = p->raw;
    } else {
        b.loadError = t_lastError;
    }
    t_lastError = saved;
}

bool holdWrite(Batch& b, const std::string& file, std::string_view section, std::optional<std::string_view> key,
               std::optional<std::string_view> value) {
    if (!b.working) {
        t_lastError = b.loadError;
        return false;
    }
    if (b.working->utf16) {
        t_lastError = utf16Refusal(file);
        return false;
    }
    HeldWrite& w = b.writes.emplace_back();
    w.section = section;
    if (key) w.key = std::string(*key);
    if (value) w.value = std::string(*value);
    w.applyTo(*b.working);
    b.creates |= key && value;
    return true;
}

// Writes the batch's result to the file once, under its lock. The file is read afresh there: when
// another process changed it since the batch began, the held writes are made again, in order, on
// what it holds now, so its keys survive as they would have with writes made one by one.
bool commitBatch(const std::string& file, const Batch& b) {
    if (b.writes.empty()) return true;
    bool missing = false;
    int fd = lockForUpdate(file, b.creates, missing);
    if (fd < 0) return missing;   // only deletions, and no file to delete from
    const ClosedAtScopeEnd unlocking{fd};
    std::shared_ptr<Parsed> fresh = loadParsed(fd, file);
    bool ok = false;
    if (fresh && fresh->utf16) {
        t_lastError = utf16Refusal(file);
    } else if (fresh) {
        std::shared_ptr<Parsed> result = b.working;
        if (!result || fresh->raw != b.base) {
            result = std::make_shared<Parsed>(*fresh);
            for (const HeldWrite& w : b.writes) w.applyTo(*result);
        }
        ok = true;
        if (result->raw != fresh->raw) {
            struct stat st{};
            mode_t mode = ::fstat(fd, &st) == 0 ? st.st_mode : 0644;
            ok = replaceFile(file, result->raw, mode, *result, true);
            if (ok) remember(file, result);
            else g_cache.erase(file);
            ok = ok && syncFolder(file);
        }
    }
    return ok;
}

// What an ini path names, before any mapping: a bare name lies in the program folder.
std::string fullIniPath(std::string_view path) {
    bool bare = path.find_first_of("\\/") == std::string_view::npos && !(path.size() >= 2 && path[1] == ':');
    return bare ? programFolder() + "/" + std::string(path) : std::string(path);
}

// Paths mapped before, by what they were mapped from (with the drive's folder, which tests and
// installs may move). Only mappings that found every element under the name given are kept:
// such a mapping is the same for as long as the file exists, so a kept one is used while the
// file is there (the caller's examination of it proves that) and made afresh when it is not.
// Used under g_cacheMutex only.
std::unordered_map<std::string, std::string> g_paths;

std::string pathKey(const std::string& full) {
    if (!full.empty() && full[0] == '/') return full;
    if (full.size() >= 2 && full[1] == ':') return driveFolder(full[0]) + '|' + full;
    if (!full.empty() && full[0] == '\\') return driveFolder('C') + '|' + full;
    return {};   // relative to the current folder, which may change: mapped every time
}

// The Linux file `path` names. `kept` tells the caller that it came from g_paths and must be
// forgotten (forgetPath) if the file turns out to be missing.
std::string mappedPath(std::string_view path, bool& kept) {
    kept = false;
    if (path.empty()) return {};
    std::string full = fullIniPath(path);
    std::string key = pathKey(full);
    if (!key.empty())
        if (auto it = g_paths.find(key); it != g_paths.end()) {
            kept = true;
            return it->second;
        }
    bool exact = false;
    std::string file = toLinuxPath(full, exact);
    if (exact && !key.empty()) {
        if (g_paths.size() >= 256) g_paths.clear();
        g_paths.emplace(std::move(key), file);
    }
    return file;
}

void forgetPath(std::string_view path) {
    std::string key = pathKey(fullIniPath(path));
    if (!key.empty()) g_paths.erase(key);
}

// The file a write replaces (symbolic links followed) and a batch is kept under. A kept mapping
// is proved by the file's existence here, else made afresh.
std::string fileToWrite(std::string_view path) {
    bool kept = false;
    std::string file = mappedPath(path, kept);
    struct stat st{};
    if (kept && ::lstat(file.c_str(), &st) != 0) {
        forgetPath(path);
        file = mappedPath(path, kept);
    }
    return file.empty() ? file : resolveLink(file);
}

// The batch open on the file `path` names, if any, and that file's name (as fileToWrite gives
// it). A kept mapping that is itself an open batch's file is taken without examining the file:
// in this process the batch stands for that file until it commits.
Batch* batchNamed(std::string_view path, std::string& file) {
    bool kept = false;
    file = mappedPath(path, kept);
    if (kept)
        if (Batch* b = batchFor(file)) return b;
    file = fileToWrite(path);
    return batchFor(file);
}

} // namespace

std::string profileFilePath(std::string_view path) {
    if (path.empty()) return {};
    return toLinuxPath(fullIniPath(path));
}

ProfileString getProfileString(std::string_view path, std::string_view section, std::string_view key,
                               std::string_view defaultValue, int bufferSize) {
    if (path.empty()) return defaultString(defaultValue, bufferSize);
    std::lock_guard lock(g_cacheMutex);
    std::string file;
    if (!g_batches.empty())
        if (const Batch* b = batchNamed(path, file); b && b->working)
            return lookUp(*b->working, section, key, defaultValue, bufferSize);
    bool kept = false;
    file = mappedPath(path, kept);
    // Examining the file by name first lets an unchanged one be read from memory without
    // opening it; a missing one proves nothing of a kept mapping, so it is mapped afresh.
    struct stat st{};
    bool exists = ::stat(file.c_str(), &st) == 0;
    if (!exists && kept) {
        forgetPath(path);
        file = mappedPath(path, kept);
        exists = ::stat(file.c_str(), &st) == 0;
    }
    if (!exists) return defaultString(defaultValue, bufferSize);
    if (auto it = g_cache.find(file); it != g_cache.end() && stillTheSame(*it->second, st))
        return lookUp(*it->second, section, key, defaultValue, bufferSize);
    int fd = openRetrying(file.c_str(), O_RDONLY);
    if (fd < 0) return defaultString(defaultValue, bufferSize);
    const ClosedAtScopeEnd closing{fd};
    std::shared_ptr<Parsed> p = loadParsed(fd, file);
    if (!p) return defaultString(defaultValue, bufferSize);
    return lookUp(*p, section, key, defaultValue, bufferSize);
}

bool writeProfileString(std::string_view path, std::optional<std::string_view> section,
                        std::optional<std::string_view> key, std::optional<std::string_view> value) {
    t_lastError.clear();
    if (!section) {
        t_lastError = "no section given";
        return false;
    }
    if (path.empty()) {
        t_lastError = "no file given";
        return false;
    }
    bool deleting = !key || !value;
    std::lock_guard lock(g_cacheMutex);
    std::string file;
    if (Batch* b = batchNamed(path, file)) return holdWrite(*b, file, *section, key, value);
    bool missing = false;
    int fd = lockForUpdate(file, !deleting, missing);
    if (fd < 0) return missing;   // nothing to delete in a file that does not exist
    const ClosedAtScopeEnd unlocking{fd};
    std::shared_ptr<Parsed> p = loadParsed(fd, file);
    bool ok = false;
    if (p && p->utf16) {
        t_lastError = utf16Refusal(file);
    } else if (p) {
        std::optional<Splice> change = edit(*p, *section, key, value);
        ok = true;
        if (change) {
            struct stat st{};
            mode_t mode = ::fstat(fd, &st) == 0 ? st.st_mode : 0644;
            applySplice(*p, *change);   // the cached parse becomes the new file's
            ok = replaceFile(file, p->raw, mode, *p, false);
            if (!ok) g_cache.erase(file);
        }
    }
    return ok;
}

bool flushProfile(std::string_view path) {
    t_lastError.clear();
    std::string file = profileFilePath(path);
    if (file.empty()) {
        t_lastError = "no file given";
        return false;
    }
    file = resolveLink(file);
    int fd = openRetrying(file.c_str(), O_RDONLY);
    if (fd < 0) {
        t_lastError = errnoText("cannot open", file);
        return false;
    }
    bool ok = ::fsync(fd) == 0;
    if (!ok) t_lastError = errnoText("cannot sync", file);
    ::close(fd);
    return syncFolder(file) && ok;
}

ProfileBatch::ProfileBatch(std::string_view path) {
    if (path.empty()) return;
    std::lock_guard lock(g_cacheMutex);
    file_ = fileToWrite(path);
    Batch* b = batchFor(file_);
    if (!b) {
        b = &g_batches[file_];   // replaces one a parent process left before forking us
        beginBatch(file_, *b);
    }
    ++b->depth;
    open_ = true;
}

ProfileBatch::~ProfileBatch() {
    if (!open_) return;
    try {
        commit();
    } catch (...) {
        // Out of memory while writing: the writes are lost as with a failed commit.
    }
}

bool ProfileBatch::commit() {
    if (!open_) return result_;
    open_ = false;
    t_lastError.clear();
    std::lock_guard lock(g_cacheMutex);
    auto it = g_batches.find(file_);
    if (it == g_batches.end() || it->second.owner != ::getpid()) return result_;
    if (--it->second.depth > 0) return result_;   // an enclosing scope writes
    Batch b = std::move(it->second);
    g_batches.erase(it);
    result_ = commitBatch(file_, b);
    return result_;
}

std::string lastProfileError() { return t_lastError; }

void clearProfileCache() {
    std::lock_guard lock(g_cacheMutex);
    g_cache.clear();
    g_paths.clear();
}

} // namespace qv::kernel
