#include "platform/qt/Input.h"

#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <optional>

#include "platform/qt/FrontEnd.h"
#include "platform/qt/KeyMap.h"
#include "platform/qt/Style.h"

namespace qv::qt {

int pointerScaleMode(const forms::Widget& w) {
    if (w.isForm() || w.has(forms::IsContainer)) return w.ScaleMode();
    forms::Widget* c = w.containerWidget();
    return c ? c->ScaleMode() : forms::vbTwips;
}

QPointF toScaleUnits(const forms::Widget& w, QPointF px) {
    int mode = pointerScaleMode(w);
    return QPointF(w.ScaleX(px.x(), forms::vbPixels, mode), w.ScaleY(px.y(), forms::vbPixels, mode));
}

bool raiseMouse(FrontEnd& fe, forms::Widget& w, MouseEvent& event, const QMouseEvent& e,
                QPoint clientOrigin, MouseAction action) {
    int button = buttonMask(action == MouseAction::Move ? e.buttons() : Qt::MouseButtons(e.button()));
    int shift = shiftMask(e.modifiers());
    QPointF at = toScaleUnits(w, e.position() - QPointF(clientOrigin));
    return fe.act(w, [&] {
        // A LostFocus handler may unload the window: the press then reaches nothing.
        if (action == MouseAction::Down && !w.isForm() &&
            !forms::Runtime::get().focusForInput(static_cast<forms::Control&>(w)))
            return;
        event.raise(button, shift, static_cast<float>(at.x()), static_cast<float>(at.y()));
    });
}

std::vector<std::string> droppedFiles(const QMimeData* data) {
    std::vector<std::string> files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files.push_back(ss(url.toLocalFile()));
    return files;
}

bool acceptsDrop(forms::Widget& w, const QMimeData* data) {
    auto* target = dynamic_cast<forms::DropTarget*>(&w);
    return target && target->OLEDropMode == 1 && !droppedFiles(data).empty();
}

void deliverDrop(FrontEnd& fe, forms::Widget& w, QDropEvent& e, QPoint clientOrigin) {
    std::vector<std::string> files = droppedFiles(e.mimeData());
    if (files.empty()) return e.ignore();
    int button = buttonMask(e.buttons());
    if (button == 0) button = forms::vbLeftButton;  // the button is up by the time files land
    int shift = shiftMask(e.modifiers());
    QPointF at = toScaleUnits(w, e.position() - QPointF(clientOrigin));
    std::optional<int> effect;
    fe.act(w, [&] {
        effect = forms::Runtime::get().deliverDrop(w, std::move(files), button, shift,
                                                   static_cast<float>(at.x()), static_cast<float>(at.y()));
    });
    if (!effect || *effect == forms::vbDropEffectNone) return e.ignore();
    e.setDropAction(*effect == forms::vbDropEffectMove ? Qt::MoveAction : Qt::CopyAction);
    e.accept();
}

}  // namespace qv::qt
