#include "platform/qt/QtBase.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "platform/gdi/Gdi.h"

namespace qv::qt::test {

namespace {
void fill(int32_t hdc, int l, int t, int r, int b, gdi::COLORREF c) {
    gdi::HBRUSH brush = gdi::CreateSolidBrush(c);
    gdi::RECT rect{l, t, r, b};
    gdi::FillRect(hdc, &rect, brush);
    gdi::DeleteObject(brush);
}
}  // namespace

TEST_F(FrontEndTest, DrawnPixelsOfAPictureBoxAppearInTheWindow) {
    frmQt& f = shown();
    int32_t hdc = f.picView.hDC();
    fill(hdc, 10, 20, 30, 25, 0x0000FF);  // red, in the box's client pixels
    QImage shot = win(f)->grab().toImage();
    // The box is at (250, 40) with a 2-pixel border.
    EXPECT_EQ(QColor(shot.pixel(250 + 2 + 10, 40 + 2 + 20)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shot.pixel(250 + 2 + 29, 40 + 2 + 24)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shot.pixel(250 + 2 + 30, 40 + 2 + 24)), QColor(255, 255, 255));
    EXPECT_EQ(QColor(shot.pixel(250 + 2 + 9, 40 + 2 + 20)), QColor(255, 255, 255));
}

TEST_F(FrontEndTest, DrawingSchedulesARepaintButTheBlitNeverRaisesPaint) {
    frmQt& f = shown();
    auto surface = f.picView.surface();
    int32_t hdc = f.picView.hDC();
    settle();
    fill(hdc, 0, 0, 5, 5, 0x00FF00);
    EXPECT_TRUE(surface->hasChanges());
    settle();
    EXPECT_FALSE(surface->hasChanges()) << "the widget showed the new drawing";
    EXPECT_EQ(f.paints, 0) << "AutoRedraw keeps the image: no Paint from repaints";

    f.picView.Refresh();
    EXPECT_EQ(f.paints, 1);
    for (int i = 0; i < 3; ++i) {
        fill(hdc, 0, 0, 5, 5, static_cast<gdi::COLORREF>(i));
        settle();
    }
    EXPECT_EQ(f.paints, 1) << "repaints of the widget never run the program's Paint";

    // Without AutoRedraw an exposure asks the program to draw again, once.
    f.picView.AutoRedraw = false;
    f.Hide();
    settle();
    f.Show();
    settle();
    Runtime::get().processPending();
    EXPECT_EQ(f.paints, 2);
}

TEST_F(FrontEndTest, TheFormsOwnSurfaceIsItsBackground) {
    frmQt& f = shown();
    int32_t hdc = gdi::GetDC(f.hWnd());
    fill(hdc, 500, 300, 520, 310, 0xFF0000);  // blue, clear of the controls
    gdi::ReleaseDC(f.hWnd(), hdc);
    QImage shot = win(f)->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(505, 305)), QColor(0, 0, 255));
}

}  // namespace qv::qt::test
