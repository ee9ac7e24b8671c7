#include "platform/qt/QtBase.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/KeyMap.h"
#include "platform/qt/Style.h"

namespace qv::qt::test {

TEST(KeyMap, LettersDigitsAndFunctionKeysGetTheirVirtualKeys) {
    for (int i = 0; i < 26; ++i) EXPECT_EQ(virtualKey(Qt::Key_A + i, Qt::NoModifier), 65 + i);
    for (int d = 0; d < 10; ++d) EXPECT_EQ(virtualKey(Qt::Key_0 + d, Qt::NoModifier), 48 + d);
    for (int n = 1; n <= 12; ++n) EXPECT_EQ(virtualKey(Qt::Key_F1 + n - 1, Qt::NoModifier), 111 + n);
    EXPECT_EQ(virtualKey(Qt::Key_F4, Qt::NoModifier), 115);
    EXPECT_EQ(virtualKey(Qt::Key_F11, Qt::NoModifier), 122);
}

TEST(KeyMap, NumericPadDigitsAreDistinctFromTheRowDigits) {
    for (int d = 0; d < 10; ++d) EXPECT_EQ(virtualKey(Qt::Key_0 + d, Qt::KeypadModifier), 96 + d);
    EXPECT_EQ(virtualKey(Qt::Key_5, Qt::KeypadModifier | Qt::ControlModifier), 101);
    EXPECT_EQ(virtualKey(Qt::Key_Asterisk, Qt::KeypadModifier), 106);
    EXPECT_EQ(virtualKey(Qt::Key_Plus, Qt::KeypadModifier), 107);
    EXPECT_EQ(virtualKey(Qt::Key_Minus, Qt::KeypadModifier), 109);
    EXPECT_EQ(virtualKey(Qt::Key_Minus, Qt::NoModifier), 189);
    // Keypad Enter and arrows are the plain keys.
    EXPECT_EQ(virtualKey(Qt::Key_Enter, Qt::KeypadModifier), 13);
    EXPECT_EQ(virtualKey(Qt::Key_Up, Qt::KeypadModifier), 38);
}

TEST(KeyMap, NavigationKeysAndShiftedSymbols) {
    EXPECT_EQ(virtualKey(Qt::Key_Return, Qt::NoModifier), 13);
    EXPECT_EQ(virtualKey(Qt::Key_Escape, Qt::NoModifier), 27);
    EXPECT_EQ(virtualKey(Qt::Key_Left, Qt::NoModifier), 37);
    EXPECT_EQ(virtualKey(Qt::Key_Up, Qt::NoModifier), 38);
    EXPECT_EQ(virtualKey(Qt::Key_Right, Qt::NoModifier), 39);
    EXPECT_EQ(virtualKey(Qt::Key_Down, Qt::NoModifier), 40);
    EXPECT_EQ(virtualKey(Qt::Key_Delete, Qt::NoModifier), 46);
    EXPECT_EQ(virtualKey(Qt::Key_Shift, Qt::ShiftModifier), 16);
    // Shift+1 arrives as "!", still the key 1.
    EXPECT_EQ(virtualKey(Qt::Key_Exclam, Qt::ShiftModifier), 49);
    EXPECT_EQ(virtualKey(Qt::Key_ParenRight, Qt::ShiftModifier), 48);
    EXPECT_EQ(virtualKey(Qt::Key_yen, Qt::NoModifier), 0);
}

TEST(KeyMap, ShiftAndButtonMasks) {
    EXPECT_EQ(shiftMask(Qt::NoModifier), 0);
    EXPECT_EQ(shiftMask(Qt::ShiftModifier), 1);
    EXPECT_EQ(shiftMask(Qt::ControlModifier), 2);
    EXPECT_EQ(shiftMask(Qt::AltModifier), 4);
    EXPECT_EQ(shiftMask(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier), 7);
    EXPECT_EQ(buttonMask(Qt::LeftButton), 1);
    EXPECT_EQ(buttonMask(Qt::RightButton), 2);
    EXPECT_EQ(buttonMask(Qt::MiddleButton), 4);
    EXPECT_EQ(buttonMask(Qt::LeftButton | Qt::MiddleButton), 5);
}

TEST(Style, ColoursTextAndFonts) {
    ensureApplication();
    QColor c = toQColor(0x0080FF);  // red FF, green 80, blue 00
    EXPECT_EQ(c, QColor(255, 128, 0));
    EXPECT_EQ(toDisplayLines("a\r\nb\rc"), QString("a\nb\nc"));
    EXPECT_EQ(fromDisplayLines(QString("a\nb")), "a\r\nb");
    forms::Font f;
    f.Name = "ＭＳ ゴシック";
    f.Size = 9;
    f.Bold = true;
    QFont q = toQFont(f);
    EXPECT_EQ(q.pixelSize(), 12);  // 9 points at 96 DPI
    EXPECT_TRUE(q.bold());
    EXPECT_EQ(q.styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
    EXPECT_EQ(q.family(), QString::fromUtf8("ＭＳ ゴシック"));
}

TEST(Style, FontAliasesComeFromTheProgramsFontconfigFile) {
    auto aliases = readFontAliases(std::string(QV_SOURCE_DIR) + "/data/fonts.conf");
    ASSERT_EQ(aliases.size(), 2u);
    EXPECT_EQ(aliases[0].first, "ＭＳ ゴシック");
    EXPECT_EQ(aliases[0].second, "IPAGothic");
    EXPECT_EQ(aliases[1].first, "ＭＳ Ｐゴシック");
    EXPECT_EQ(aliases[1].second, "IPAPGothic");
    EXPECT_TRUE(readFontAliases("/nonexistent/fonts.conf").empty());

    QTemporaryDir dir;
    QFile broken(dir.filePath("fonts.conf"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<fontconfig><alias><family>A</family><prefer><family>B</family></prefer></alias><alias>");
    broken.close();
    EXPECT_TRUE(readFontAliases(ss(broken.fileName())).empty()) << "a truncated file gives nothing";
}

TEST(MessageBoxStyle, ButtonsIconsAndDefaultsFollowTheStyle) {
    ensureApplication();
    auto box = makeMessageBox("一行目\r\n二行目", 49, "サンプリング周波数");
    EXPECT_EQ(box->windowTitle(), QString::fromUtf8("サンプリング周波数"));
    EXPECT_EQ(box->text(), QString::fromUtf8("一行目\n二行目"));
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Ok));
    EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::Cancel));

    auto yesNo = makeMessageBox("?", 4 + 32 + 256, "t");
    EXPECT_EQ(yesNo->icon(), QMessageBox::Question);
    EXPECT_EQ(yesNo->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(yesNo->defaultButton(), yesNo->button(QMessageBox::No));

    auto info = makeMessageBox("DPI", 64, "Quorvane");
    EXPECT_EQ(info->icon(), QMessageBox::Information);
    EXPECT_EQ(info->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(info->escapeButton(), info->button(QMessageBox::Ok));
    auto third = makeMessageBox("x", 16 + 3 + 512, "");
    EXPECT_EQ(third->defaultButton(), third->button(QMessageBox::Cancel));
    EXPECT_EQ(makeMessageBox("x", 16, "")->icon(), QMessageBox::Critical);

    EXPECT_EQ(msgBoxResult(QMessageBox::Ok), 1);
    EXPECT_EQ(msgBoxResult(QMessageBox::Cancel), 2);
    EXPECT_EQ(msgBoxResult(QMessageBox::Yes), 6);
    EXPECT_EQ(msgBoxResult(QMessageBox::No), 7);
}

TEST(FileDialogFilter, PairsBecomeQtFilters) {
    EXPECT_EQ(toQtFilter("Data (*.Kdat)|*.Kdat|All (*.*)|*.*"),
              QString("Data (*.Kdat) (*.Kdat);;All (*.*) (*.*)"));
    EXPECT_EQ(toQtFilter("Pictures|*.bmp;*.png"), QString("Pictures (*.bmp *.png)"));
    EXPECT_EQ(toQtFilter(""), QString());
}

}  // namespace qv::qt::test
