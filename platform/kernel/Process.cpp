#include "platform/kernel/Process.h"

#include "platform/kernel/Encoding.h"
#include "platform/kernel/Paths.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace qv::kernel {
namespace {

constexpr const char* kReadyFdVariable = "QUORVANE_READY_FD";

struct State {
    std::mutex mutex;
    std::condition_variable exited;
    std::map<int, int> exitCodes;   // pid -> exit code, filled by the reaper threads
    bool recording = false;
    std::vector<LaunchRecord> launches;
    std::vector<std::string> folderOpens;
    std::optional<bool> previousOverride;
};
// Never destroyed: a reaper thread may still report a child while the process exits.
State& g = *new State;

bool isProgramFile(const std::string& file) {
    struct stat st{};
    return !file.empty() && ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string findProgram(std::string_view name) {
    bool bare = name.find_first_of("\\/") == std::string_view::npos &&
                !(name.size() >= 2 && name[1] == ':');
    std::string file = bare ? toLinuxPath(searchPath(name)) : toLinuxPath(name);
    return isProgramFile(file) ? file : std::string();
}

// The exact name first; then, as the companion programs are named after their Windows files,
// the same name without ".exe".
std::string resolveProgram(std::string_view name) {
    std::string file = findProgram(name);
    if (file.empty() && name.size() > 4 && asciiIEquals(name.substr(name.size() - 4), ".exe"))
        file = findProgram(name.substr(0, name.size() - 4));
    return file;
}

void reap(int pid) {
    std::thread([pid] {
        int status = 0;
        pid_t r;
        do {
            r = ::waitpid(pid, &status, 0);
        } while (r < 0 && errno == EINTR);
        int code = r < 0 ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::lock_guard lock(g.mutex);
        if (g.exitCodes.size() > 1024) g.exitCodes.clear();
        g.exitCodes[pid] = code;
        g.exited.notify_all();
    }).detach();
}

// Waits until every copy of the pipe's write end is closed: the child said it is ready, or it
// ended.
void waitReady(int readFd, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        // Rounded up: a poll cut short by truncation would end the wait before its limit.
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return;
        pollfd p{readFd, POLLIN, 0};
        int r = ::poll(&p, 1, static_cast<int>(left.count()));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return;
        char buf[64];
        ssize_t n = ::read(readFd, buf, sizeof buf);
        if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return;
    }
}

} // namespace

StartResult startProcess(const std::vector<std::string>& argv, const StartOptions& options) {
    StartResult result;
    if (argv.empty() || argv[0].empty()) {
        result.error = "no program given";
        return result;
    }
    result.program = resolveProgram(argv[0]);
    {
        std::lock_guard lock(g.mutex);
        if (g.recording) {
            g.launches.push_back({argv, result.program});
            result.started = !result.program.empty();
            if (!result.started) result.error = "program not found: " + argv[0];
            return result;
        }
    }
    if (result.program.empty()) {
        result.error = "program not found: " + argv[0];
        return result;
    }
    std::vector<char*> args;
    args.push_back(result.program.data());
    for (std::size_t i = 1; i < argv.size(); ++i) args.push_back(const_cast<char*>(argv[i].c_str()));
    args.push_back(nullptr);

    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, kReadyFdVariable, std::strlen(kReadyFdVariable)) != 0) envText.emplace_back(*e);
    int pipeFds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (options.waitReadyMs > 0 && ::pipe2(pipeFds, O_CLOEXEC) == 0) {
        // dup2 onto itself clears close-on-exec in the child only.
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], pipeFds[1]);
        envText.push_back(std::string(kReadyFdVariable) + "=" + std::to_string(pipeFds[1]));
    }
    std::vector<char*> envp;
    for (std::string& s : envText) envp.push_back(s.data());
    envp.push_back(nullptr);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    int rc = ::posix_spawn(&pid, result.program.c_str(), &actions, &attr, args.data(), envp.data());
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeFds[1] >= 0) ::close(pipeFds[1]);
    if (rc != 0) {
        result.error = "cannot start " + result.program + ": " + std::strerror(rc);
        if (pipeFds[0] >= 0) ::close(pipeFds[0]);
        return result;
    }
    result.started = true;
    result.pid = pid;
    reap(pid);
    if (pipeFds[0] >= 0) {
        waitReady(pipeFds[0], options.waitReadyMs);
        ::close(pipeFds[0]);
    }
    return result;
}

bool waitForExit(int pid, int timeoutMs, int* exitCode) {
    std::unique_lock lock(g.mutex);
    auto done = [&] { return g.exitCodes.count(pid) != 0; };
    if (timeoutMs < 0) g.exited.wait(lock, done);
    else if (!g.exited.wait_for(lock, std::chrono::milliseconds(timeoutMs), done)) return false;
    if (exitCode) *exitCode = g.exitCodes[pid];
    return true;
}

void notifyParentReady() {
    const char* text = std::getenv(kReadyFdVariable);
    if (!text) return;
    char* end = nullptr;
    long fd = std::strtol(text, &end, 10);
    struct stat st{};
    // Only a pipe we were given: the variable may have outlived its descriptor.
    if (end != text && *end == '\0' && fd > 2 && fd < 65536 && ::fstat(static_cast<int>(fd), &st) == 0 &&
        S_ISFIFO(st.st_mode))
        ::close(static_cast<int>(fd));
    ::unsetenv(kReadyFdVariable);
}

bool raisePriority() {
    errno = 0;
    int current = ::getpriority(PRIO_PROCESS, 0);
    if (errno != 0) return false;
    if (current <= -5) return true;
    return ::setpriority(PRIO_PROCESS, 0, -5) == 0;
}

bool previousInstance() {
    static std::once_flag once;
    static bool found = false;
    {
        std::lock_guard lock(g.mutex);
        if (g.previousOverride) return *g.previousOverride;
    }
    std::call_once(once, [] {
        // One lock per program folder, held until the process ends.
        std::uint64_t hash = 14695981039346656037ull;
        for (unsigned char c : programFolder()) hash = (hash ^ c) * 1099511628211ull;
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        std::string folder = runtime && *runtime == '/' ? std::string(runtime) : std::string("/tmp");
        char name[64];
        std::snprintf(name, sizeof name, "/quorvane-%u-%016llx.lock", static_cast<unsigned>(::getuid()),
                      static_cast<unsigned long long>(hash));
        std::string file = folder + name;
        int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) return;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            found = errno == EWOULDBLOCK;
            ::close(fd);
        }
    });
    return found;
}

void setPreviousInstance(std::optional<bool> value) {
    std::lock_guard lock(g.mutex);
    g.previousOverride = value;
}

void showInFileManager(std::string_view path) {
    if (path.empty()) return;
    std::string native = toLinuxPath(path);
    std::string folder = native;
    struct stat st{};
    if (::stat(native.c_str(), &st) == 0) {
        // The original opened the folder that holds the item.
        std::size_t slash = native.rfind('/');
        if (slash != std::string::npos) folder = slash == 0 ? "/" : native.substr(0, slash);
    }
    bool headless = !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY");
    {
        std::lock_guard lock(g.mutex);
        if (g.recording || headless) {
            g.folderOpens.push_back(folder);
            return;
        }
    }
    startProcess({"xdg-open", folder});
}

void setLaunchRecording(bool on) {
    std::lock_guard lock(g.mutex);
    g.recording = on;
}

std::vector<LaunchRecord> recordedLaunches() {
    std::lock_guard lock(g.mutex);
    return g.launches;
}

std::vector<std::string> recordedFolderOpens() {
    std::lock_guard lock(g.mutex);
    return g.folderOpens;
}

void clearLaunchRecords() {
    std::lock_guard lock(g.mutex);
    g.launches.clear();
    g.folderOpens.clear();
}

} // namespace qv::kernel
