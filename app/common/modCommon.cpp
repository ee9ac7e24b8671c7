#include "app/common/modCommon.h"

#include "platform/basic/Basic.h"
#include "platform/forms/Control.h"
#include "platform/forms/Runtime.h"
#include "platform/kernel/Process.h"
#include "platform/kernel/Time.h"

namespace qv {

void DoEventsWait(int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        forms::DoEvents();
        kernel::sleepMs(1);
    }
}

void ClosingStep(const std::string& what, const std::function<void()>& step) noexcept {
    if (forms::Runtime::get().ended()) return;
    try {
        step();
    } catch (const forms::ProgramEnded&) {
        // The program ended inside the step; the unwinding already under way finishes it.
    } catch (const std::exception& e) {
        try {
            WriteLog(what + ": " + e.what(), true);
        } catch (...) {
        }
    } catch (...) {
    }
}

bool IsControlArray(const forms::Control& control) { return control.Index() >= 0; }

void ShowInExplorer(int32_t /*ownerWindow*/, const std::string& path) {
    // The file manager opens the containing folder (or the path itself when it does not exist);
    // bringing its window to the front is left to the desktop.
    if (path.empty()) return;
    kernel::showInFileManager(path);
}

std::string GetFolderPath(const std::string& path) {
    const size_t p = path.rfind('\\');
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string GetPathWithoutExt(const std::string& path) {
    const size_t p = path.rfind('.');
    return p == std::string::npos ? path : path.substr(0, p);
}

std::string TrimAtNull(const std::string& text) {
    const size_t p = text.find('\0');
    return p == std::string::npos ? text : text.substr(0, p);
}

std::string GetFields(const std::string& text, int32_t from, int32_t to,
                      const std::string& separator) {
    if (text.empty() || from < 0) return "";
    if (from > to && to != 0) return "";
    if (to == 0) to = from;
    const std::vector<std::string> fields = basic::Split(text, separator);
    const int32_t count = static_cast<int32_t>(fields.size());
    if (from < 1 || to > count) basic::raiseError(basic::errSubscript);
    std::string out;
    for (int32_t i = from; i <= to; ++i) {
        if (i > from) out += separator;
        out += fields[i - 1];
    }
    return out;
}

int32_t GetUBound(const WaveArray& a, int32_t dimension) {
    if (a.Empty()) return -1;
    if (dimension == -1 || dimension == 1) return a.Points() - 1;
    if (dimension == 2) return a.Channels() - 1;
    return -1;
}

}  // namespace qv
