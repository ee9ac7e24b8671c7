#pragma once
// Message boxes, input boxes and file dialogs as Qt dialogs, with the buttons, icons, default
// button and results of the original styles. They run in the front end's loop, so the
// program's timers keep running while one is open.

#include "platform/qt/QtBase.h"

#include <QMessageBox>
#include <QString>
#include <memory>

#include "platform/forms/Dialogs.h"

namespace qv::qt {

class FrontEnd;

// A message box for a style: buttons (style & 7), icon (16 critical, 32 question,
// 48 exclamation, 64 information), default button (256 second, 512 third). CR LF in the prompt
// are line breaks.
std::unique_ptr<QMessageBox> makeMessageBox(const std::string& prompt, int style, const std::string& title);
// The language's result of a pressed button (vbOK, vbCancel, ...), 0 for none.
int msgBoxResult(QMessageBox::StandardButton b);
// "Data (*.Kdat)|*.Kdat|All (*.*)|*.*" -> "Data (*.Kdat) (*.Kdat);;All (*.*) (*.*)"; patterns
// separated by ";" become Qt's space-separated lists.
QString toQtFilter(const std::string& filter);

class QtDialogs : public forms::DialogService {
public:
    explicit QtDialogs(FrontEnd& fe) : fe_(fe) {}
    int msgBox(const std::string& prompt, int style, const std::string& title) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override;
    std::optional<std::string> fileDialog(const forms::FileDialogRequest& request) override;

private:
    FrontEnd& fe_;
};

}  // namespace qv::qt
