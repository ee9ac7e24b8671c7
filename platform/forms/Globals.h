#pragma once
// The language's global objects Screen and App, and unit conversions between scale modes.

#include <string>

namespace qv::forms {

class Form;
class Control;

class ScreenObject {
public:
    // Screen size in twips and twips per pixel (the kernel's screen metrics; tests may set
    // them there).
    double Width() const;
    double Height() const;
    double TwipsPerPixelX() const;
    double TwipsPerPixelY() const;
    Form* ActiveForm() const;
    Control* ActiveControl() const;
    int MousePointer = 0;
};

class AppObject {
public:
    // The program folder as a Windows-style path ("C:\Tolvane"; a drive root ends in "\").
    std::string Path() const;
    // True when another instance of the program was running at start-up.
    bool PrevInstance() const { return prevInstance_; }
    void setPrevInstance(bool v) { prevInstance_ = v; }
    std::string Title = "Quorvane";
    std::string EXEName = "Quorvane";

private:
    bool prevInstance_ = false;
};

extern ScreenObject Screen;

// The frame around a top-level window's client area, in pixels, by BorderStyle: the metrics of
// the platform the designs were made on (a caption bar of 18 pixels and its 1-pixel edge; a
// sizable border of 4, a fixed one of 3; tool windows a 15-pixel caption). A design's outer size
// less this frame is the client area, whatever frame the window manager draws.
struct WindowFrame {
    int border = 0;    // left, right and bottom
    int caption = 0;   // above the client area, under the top border
};
WindowFrame windowFrame(int borderStyle);
extern AppObject App;

// Converts a length between scale modes. pixelsPerInch is the device's (screen: 1440 / twips
// per pixel). vbUser is not supported here (380).
double convertScale(double value, int fromMode, int toMode, double pixelsPerInch);
// The screen's pixels per inch along x and y.
double screenPixelsPerInchX();
double screenPixelsPerInchY();

}  // namespace qv::forms
