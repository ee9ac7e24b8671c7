#pragma once
// Mouse and file-drop input on a form or control, converted to the model's arguments:
// button and shift masks, coordinates in the target's scale units from its client area.

#include "platform/qt/QtBase.h"

#include <QPoint>
#include <QPointF>
#include <string>
#include <vector>

#include "platform/forms/Forms.h"

class QMouseEvent;
class QMimeData;
class QDropEvent;

namespace qv::qt {

class FrontEnd;

enum class MouseAction { Down, Move, Up };
using MouseEvent = forms::Event<int, int, float, float>;

// The scale mode of w's pointer coordinates: its own for a form, frame or picture box, else
// its container's.
int pointerScaleMode(const forms::Widget& w);
// Pixels from the client area's top-left corner -> w's scale units.
QPointF toScaleUnits(const forms::Widget& w, QPointF pixels);

// Raises event (w's MouseDown, MouseMove or MouseUp) for a Qt mouse event on the widget that
// shows w, whose client area starts at clientOrigin. Down: the pressed button; Move: all
// buttons held; Up: the released button. Returns false when refused.
bool raiseMouse(FrontEnd& fe, forms::Widget& w, MouseEvent& event, const QMouseEvent& e,
                QPoint clientOrigin, MouseAction action);

// Local file paths a drag carries, in order; empty when none.
std::vector<std::string> droppedFiles(const QMimeData* data);
// w takes file drops (OLEDropMode 1) and the drag carries local files.
bool acceptsDrop(forms::Widget& w, const QMimeData* data);
// OLEDragDrop on w with the dropped files; the Effect the handler leaves decides copy/move.
void deliverDrop(FrontEnd& fe, forms::Widget& w, QDropEvent& e, QPoint clientOrigin);

}  // namespace qv::qt
