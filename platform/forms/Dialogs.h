#pragma once
// Message boxes, input boxes and file dialogs go through one service. The front end shows
// real dialogs; headless, tests queue the answers and read the log, and a dialog that nobody
// answered fails the test at once instead of waiting for a user.

#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace qv::forms {

// A headless run met something only a person could answer (a dialog with no queued answer,
// a modal form with no script). Passes through the dispatch boundary to the test.
class HeadlessFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct FileDialogRequest {
    bool save = false;
    std::string title;
    std::string filter;     // "Data (*.Kdat)|*.Kdat|All (*.*)|*.*"
    std::string initDir;
    std::string fileName;
};

class DialogService {
public:
    virtual ~DialogService() = default;
    // Returns the pressed button (vbOK, vbCancel, ...).
    virtual int msgBox(const std::string& prompt, int style, const std::string& title) = 0;
    // The entered text, or nothing when cancelled.
    virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                                const std::string& defaultText) = 0;
    // The chosen path, or nothing when cancelled.
    virtual std::optional<std::string> fileDialog(const FileDialogRequest& request) = 0;
};

struct MsgBoxRecord {
    std::string prompt;
    int style = 0;
    std::string title;
    int result = 0;
};

struct InputBoxRecord {
    std::string prompt;
    std::string title;
    std::string defaultText;
    std::optional<std::string> result;
};

// The buttons a style shows, as results a user could give ({vbOK}, {vbOK, vbCancel}, ...).
std::vector<int> msgBoxResults(int style);

class ScriptedDialogs : public DialogService {
public:
    int msgBox(const std::string& prompt, int style, const std::string& title) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override;
    std::optional<std::string> fileDialog(const FileDialogRequest& request) override;

    void answerMsgBox(int result) { msgAnswers_.push_back(result); }
    void answerInputBox(std::optional<std::string> text) { inputAnswers_.push_back(std::move(text)); }
    void answerFileDialog(std::optional<std::string> path) { fileAnswers_.push_back(std::move(path)); }
    size_t pendingAnswers() const {
        return msgAnswers_.size() + inputAnswers_.size() + fileAnswers_.size();
    }
    const std::vector<MsgBoxRecord>& msgBoxLog() const { return msgLog_; }
    const std::vector<InputBoxRecord>& inputBoxLog() const { return inputLog_; }
    const std::vector<FileDialogRequest>& fileDialogLog() const { return fileLog_; }
    void clear();

private:
    std::deque<int> msgAnswers_;
    std::deque<std::optional<std::string>> inputAnswers_;
    std::deque<std::optional<std::string>> fileAnswers_;
    std::vector<MsgBoxRecord> msgLog_;
    std::vector<InputBoxRecord> inputLog_;
    std::vector<FileDialogRequest> fileLog_;
};

// MsgBox(prompt, style, title): an empty title shows the application's title.
int MsgBox(const std::string& prompt, int style = 0, const std::string& title = {});
// InputBox: the entered text, "" when cancelled (as the language returned it).
std::string InputBox(const std::string& prompt, const std::string& title = {},
                     const std::string& defaultText = {});
std::optional<std::string> FileDialog(const FileDialogRequest& request);

}  // namespace qv::forms
