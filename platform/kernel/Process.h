#pragma once
// Processes: starting programs without a shell, reaping them, the process priority, the
// previous-instance flag and showing a folder in the desktop's file manager.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::kernel {

struct StartResult {
    bool started = false;
    int pid = -1;
    std::string program;   // the Linux file that was (or would have been) started; "" if none
    std::string error;     // why it did not start
};

struct StartOptions {
    // > 0: wait until the child reports that it is ready for input (notifyParentReady()) or
    // exits, at most this many milliseconds. The result does not depend on it.
    int waitReadyMs = 0;
};

// Starts argv[0] with the arguments argv[1..] (no shell: each argument reaches the child as it is).
// argv[0] is a Windows-style or Linux path: the exact name first, then the same name without a
// ".exe" ending; a bare name is also looked for along PATH. The child is reaped when it ends.
StartResult startProcess(const std::vector<std::string>& argv, const StartOptions& options = {});
// Waits for a child started by startProcess to end: true and its exit code (128 + signal when a
// signal ended it) when it ended within `timeoutMs` (< 0: no limit).
bool waitForExit(int pid, int timeoutMs, int* exitCode = nullptr);
// In a program started with waitReadyMs: tells the parent that its event loop is running.
// Does nothing when the parent is not waiting.
void notifyParentReady();

// Raises this process's scheduling priority (a small negative nice value); best effort.
bool raisePriority();

// True when another instance of the program runs from the same program folder (decided once, at
// the first call, with a lock held for the life of the process). Tests may set the answer.
bool previousInstance();
void setPreviousInstance(std::optional<bool> value);

// Opens the folder holding `path` (or `path` itself when it does not exist) in the desktop's file
// manager (xdg-open). Without a display, or while recording, the request is recorded instead.
void showInFileManager(std::string_view path);

// Recording for tests: while on, startProcess and showInFileManager record what they would do
// and start nothing. A recorded start succeeds when the program file exists.
struct LaunchRecord {
    std::vector<std::string> argv;   // as given
    std::string program;             // the Linux file found, or ""
};
void setLaunchRecording(bool on);
std::vector<LaunchRecord> recordedLaunches();
std::vector<std::string> recordedFolderOpens();   // Linux folders
void clearLaunchRecords();

} // namespace qv::kernel
