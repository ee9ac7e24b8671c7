#include "platform/forms/Dialogs.h"

#include <algorithm>

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Globals.h"
#include "platform/forms/Runtime.h"
#include "platform/forms/Types.h"

namespace qv::forms {

std::vector<int> msgBoxResults(int style) {
    switch (style & 7) {
        case vbOKOnly: return {vbOK};
        case vbOKCancel: return {vbOK, vbCancel};
        case vbAbortRetryIgnore: return {vbAbort, vbRetry, vbIgnore};
        case vbYesNoCancel: return {vbYes, vbNo, vbCancel};
        case vbYesNo: return {vbYes, vbNo};
        case vbRetryCancel: return {vbRetry, vbCancel};
        default: return {};
    }
}

namespace {
std::string describe(const std::string& title, const std::string& prompt) {
    return "\"" + title + "\": \"" + prompt + "\"";
}
}  // namespace

int ScriptedDialogs::msgBox(const std::string& prompt, int style, const std::string& title) {
    msgLog_.push_back(MsgBoxRecord{prompt, style, title, 0});
    if (msgAnswers_.empty())
        throw HeadlessFailure("message box nobody answered (style " + std::to_string(style) +
                              ") " + describe(title, prompt));
    int answer = msgAnswers_.front();
    msgAnswers_.pop_front();
    auto allowed = msgBoxResults(style);
    if (std::find(allowed.begin(), allowed.end(), answer) == allowed.end())
        throw HeadlessFailure("answer " + std::to_string(answer) +
                              " is not a button of a style " + std::to_string(style) +
                              " message box " + describe(title, prompt));
    msgLog_.back().result = answer;
    return answer;
}

std::optional<std::string> ScriptedDialogs::inputBox(const std::string& prompt, const std::string& title,
                                                     const std::string& defaultText) {
    inputLog_.push_back(InputBoxRecord{prompt, title, defaultText, std::nullopt});
    if (inputAnswers_.empty())
        throw HeadlessFailure("input box nobody answered " + describe(title, prompt));
    auto answer = std::move(inputAnswers_.front());
    inputAnswers_.pop_front();
    inputLog_.back().result = answer;
    return answer;
}

std::optional<std::string> ScriptedDialogs::fileDialog(const FileDialogRequest& request) {
    fileLog_.push_back(request);
    if (fileAnswers_.empty())
        throw HeadlessFailure("file dialog nobody answered " + describe(request.title, request.fileName));
    auto answer = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return answer;
}

void ScriptedDialogs::clear() {
    msgAnswers_.clear();
    inputAnswers_.clear();
    fileAnswers_.clear();
    msgLog_.clear();
    inputLog_.clear();
    fileLog_.clear();
}

int MsgBox(const std::string& prompt, int style, const std::string& title) {
    if (msgBoxResults(style).empty()) basic::raiseError(basic::errInvalidCall);
    return Runtime::get().dialogs().msgBox(prompt, style, title.empty() ? App.Title : title);
}

std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) {
    auto r = Runtime::get().dialogs().inputBox(prompt, title.empty() ? App.Title : title, defaultText);
    return r ? *r : std::string();
}

std::optional<std::string> FileDialog(const FileDialogRequest& request) {
    return Runtime::get().dialogs().fileDialog(request);
}

}  // namespace qv::forms
