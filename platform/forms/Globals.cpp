#include "platform/forms/Globals.h"

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Form.h"
#include "platform/forms/Runtime.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/ScreenMetrics.h"

namespace qv::forms {

ScreenObject Screen;
AppObject App;

double ScreenObject::Width() const { return kernel::screenMetrics().widthTwips(); }
double ScreenObject::Height() const { return kernel::screenMetrics().heightTwips(); }
double ScreenObject::TwipsPerPixelX() const { return kernel::screenMetrics().twipsPerPixelX; }
double ScreenObject::TwipsPerPixelY() const { return kernel::screenMetrics().twipsPerPixelY; }

Form* ScreenObject::ActiveForm() const {
    Runtime& rt = Runtime::get();
    if (Control* c = rt.focused()) return &c->parentForm();
    if (Form* m = rt.topModal()) return m;
    Form* last = nullptr;
    for (Form* f : rt.Forms())
        if (f->Visible()) last = f;
    return last;
}

Control* ScreenObject::ActiveControl() const { return Runtime::get().focused(); }

std::string AppObject::Path() const { return kernel::programFolderWindows(); }

WindowFrame windowFrame(int borderStyle) {
    switch (borderStyle) {
        case 0: return {0, 0};
        case 1:
        case 3: return {3, 19};
        case 4: return {3, 16};
        case 5: return {4, 16};
        default: return {4, 19};
    }
}

double screenPixelsPerInchX() { return 1440.0 / Screen.TwipsPerPixelX(); }
double screenPixelsPerInchY() { return 1440.0 / Screen.TwipsPerPixelY(); }

namespace {
double unitsPerInch(int mode, double pixelsPerInch) {
    switch (mode) {
        case vbTwips: return 1440.0;
        case vbPoints: return 72.0;
        case vbPixels: return pixelsPerInch;
        case vbInches: return 1.0;
        case vbMillimeters: return 25.4;
        case vbCentimeters: return 2.54;
        case vbHimetric: return 2540.0;
        default: basic::raiseError(basic::errInvalidProperty);
    }
}
}  // namespace

double convertScale(double value, int fromMode, int toMode, double pixelsPerInch) {
    if (fromMode == toMode) return value;
    return value / unitsPerInch(fromMode, pixelsPerInch) * unitsPerInch(toMode, pixelsPerInch);
}

}  // namespace qv::forms
