#include "platform/qt/Dialogs.h"

#include <QFileDialog>
#include <algorithm>
#include <QInputDialog>
#include <QPushButton>
#include <vector>


#include "platform/forms/Types.h"
#include "platform/kernel/Paths.h"
#include "platform/qt/FrontEnd.h"
#include "platform/qt/Style.h"

namespace qv::qt {

namespace {
QMessageBox::StandardButton toStandard(int result) {
    switch (result) {
        case forms::vbOK: return QMessageBox::Ok;
        case forms::vbCancel: return QMessageBox::Cancel;
        case forms::vbAbort: return QMessageBox::Abort;
        case forms::vbRetry: return QMessageBox::Retry;
        case forms::vbIgnore: return QMessageBox::Ignore;
        case forms::vbYes: return QMessageBox::Yes;
        case forms::vbNo: return QMessageBox::No;
        default: return QMessageBox::NoButton;
    }
}
}  // namespace

int msgBoxResult(QMessageBox::StandardButton b) {
    switch (b) {
        case QMessageBox::Ok: return forms::vbOK;
        case QMessageBox::Cancel: return forms::vbCancel;
        case QMessageBox::Abort: return forms::vbAbort;
        case QMessageBox::Retry: return forms::vbRetry;
        case QMessageBox::Ignore: return forms::vbIgnore;
        case QMessageBox::Yes: return forms::vbYes;
        case QMessageBox::No: return forms::vbNo;
        default: return 0;
    }
}

std::unique_ptr<QMessageBox> makeMessageBox(const std::string& prompt, int style, const std::string& title) {
    auto box = std::make_unique<QMessageBox>();
    box->setWindowTitle(qs(title));
    box->setText(toDisplayLines(prompt));
    box->setTextFormat(Qt::PlainText);
    switch (style & 0x70) {
        case forms::vbCritical: box->setIcon(QMessageBox::Critical); break;
        case forms::vbQuestion: box->setIcon(QMessageBox::Question); break;
        case forms::vbExclamation: box->setIcon(QMessageBox::Warning); break;
        case forms::vbInformation: box->setIcon(QMessageBox::Information); break;
        default: box->setIcon(QMessageBox::NoIcon); break;
    }
    std::vector<int> results = forms::msgBoxResults(style);
    QMessageBox::StandardButtons buttons;
    for (int r : results) buttons |= toStandard(r);
    box->setStandardButtons(buttons);
    size_t def = (style & forms::vbDefaultButton3) ? 2 : (style & forms::vbDefaultButton2) ? 1 : 0;
    if (def < results.size()) box->setDefaultButton(toStandard(results[def]));
    // Esc and the window's close button answer Cancel where there is one; a box with one
    // button answers with it.
    for (int r : results)
        if (r == forms::vbCancel) box->setEscapeButton(QMessageBox::Cancel);
    if (results.size() == 1) box->setEscapeButton(toStandard(results.front()));
    return box;
}

QString toQtFilter(const std::string& filter) {
    QStringList parts = qs(filter).split(QChar('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QChar(';'), QChar(' '));
        out << parts[i] + QStringLiteral(" (") + patterns.simplified() + QChar(')');
    }
    return out.join(QStringLiteral(";;"));
}

int QtDialogs::msgBox(const std::string& prompt, int style, const std::string& title) {
    auto box = makeMessageBox(prompt, style, title);
    fe_.runDialog(*box);
    int result = msgBoxResult(box->standardButton(box->clickedButton()));
    if (result == 0) {
        // Closed some other way: the answer Esc would give.
        std::vector<int> results = forms::msgBoxResults(style);
        bool cancel = std::find(results.begin(), results.end(), forms::vbCancel) != results.end();
        result = cancel ? forms::vbCancel : results.front();
    }
    return result;
}

std::optional<std::string> QtDialogs::inputBox(const std::string& prompt, const std::string& title,
                                               const std::string& defaultText) {
    QInputDialog dialog;
    dialog.setWindowTitle(qs(title));
    dialog.setLabelText(toDisplayLines(prompt));
    dialog.setTextValue(qs(defaultText));
    fe_.runDialog(dialog);
    if (dialog.result() != QDialog::Accepted) return std::nullopt;
    return ss(dialog.textValue());
}

std::optional<std::string> QtDialogs::fileDialog(const forms::FileDialogRequest& request) {
    QFileDialog dialog;
    // Qt's own dialog: it runs in our loop like every other window (a desktop's native one
    // would not).
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(qs(request.title));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.filter.empty()) dialog.setNameFilter(toQtFilter(request.filter));
    if (!request.initDir.empty()) dialog.setDirectory(qs(kernel::toLinuxPath(request.initDir)));
    if (!request.fileName.empty()) dialog.selectFile(qs(kernel::toLinuxPath(request.fileName)));
    fe_.runDialog(dialog);
    if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    // The program works with the system's own paths.
    return kernel::toWindowsPath(ss(dialog.selectedFiles().front()));
}

}  // namespace qv::qt
