// The calibration table: defaults, 32-byte fields, ".CAL" files, the main window's table, the
// library hand-over, and the record array built from it.
#include "app/channel/CCalSetting.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/app/common/IniSet_testsupport.h"
#include "app/common/modCalRecord.h"
#include "app/common/modIniFile.h"
#include "platform/forms/Form.h"
#include "platform/kernel/Encoding.h"

using namespace qv;
using qv::apptest::errorNumber;

namespace {

struct CalWindowTag {};

constexpr const char* kColumns[6] = {"txtName", "txtUnit", "txtEUHI", "txtEULO", "txtCALAD",
                                     "txtBASEAD"};

// A window with the calibration table's controls: headers Picture1(0..5) side by side at
// top 600 (height 250), six text-box arrays 0..31 of row height 285 parked far away.
forms::Form& loadCalWindow() {
    forms::FormDesign d;
    d.name = "CalWindowStandIn";
    for (int c = 0; c < 6; ++c)
        d.controls.push_back(
            {forms::ControlType::PictureBox, "Picture1", c, "", 100.0 + 1000 * c, 600, 900.0 + c, 250, "", {}});
    for (const char* column : kColumns)
        for (int i = 0; i < 32; ++i)
            d.controls.push_back({forms::ControlType::TextBox, column, i, "", 9000, 9000, 50, 285, "", {}});
    return forms::Runtime::get().formOf(typeid(CalWindowTag), [d] {
        return std::make_unique<apptest::StandInForm>(d);
    });
}

std::string text(forms::Form& w, const char* column, int i) {
    return w.control(column, i).get("Text").toString();
}

std::vector<std::string> row(const CCalSetting& t, int i) {
    return {t.CHName(i), t.Unit(i), t.EU_HI(i), t.EU_LO(i), t.Cal_AD(i), t.Base_AD(i)};
}

void setRow(forms::Form& w, int i, const std::vector<std::string>& values) {
    for (int c = 0; c < 6; ++c) w.control(kColumns[c], i).set("Text", values[c]);
}

class CalSettingTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The library is taken from the program folder.
        std::filesystem::create_symlink(std::filesystem::path(QV_BIN_DIR) / "libTrelm.so",
                                        prog.dir() / "libTrelm.so");
        GstrCalNames.clear();
        GstrCalUnits.clear();
        SetIniFileName("");
    }
    void TearDown() override {
        forms::Runtime::get().reset();
        SetIniFileName("");
        GstrCalNames.clear();
        GstrCalUnits.clear();
    }
    apptest::TempProgramFolder prog;
};

}  // namespace

TEST_F(CalSettingTest, NewTableHoldsTheDefaultsAndChecksChannels) {
    const CCalSetting t;
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(row(t, i), (std::vector<std::string>{"CH" + std::to_string(i + 1), "V", "100",
                                                       "0", "2048", "0"}));
        EXPECT_EQ(t.CHType(i), 0);
    }
    EXPECT_EQ(errorNumber([&] { (void)t.Cal_AD(32); }), 9);
    EXPECT_EQ(errorNumber([&] { (void)t.CHName(-1); }), 9);
}

TEST_F(CalSettingTest, FieldsAreThirtyTwoBytesAndNeverSplitACharacter) {
    EXPECT_EQ(CCalSetting::FormatStr("ABC"), "ABC" + std::string(28, '\0') + " ");
    const std::string forty(40, 'x');
    EXPECT_EQ(CCalSetting::FormatStr(forty), std::string(31, 'x') + " ");
    // 1 + 15 x 2 bytes fit exactly; one more ASCII byte pushes the last character out whole.
    std::string fits = "A", over = "AB";
    for (int i = 0; i < 15; ++i) fits += "日", over += "日";
    EXPECT_EQ(CCalSetting::FormatStr(fits), fits + " ");
    const std::string cut = CCalSetting::FormatStr(over);
    EXPECT_EQ(kernel::utf8ToCp932(cut).size(), 32u);
    EXPECT_EQ(cut.substr(0, cut.find('\0')), over.substr(0, over.size() - 3));
    EXPECT_EQ(cut.find('?'), std::string::npos);

    std::string rest = "ABCDEF";
    EXPECT_EQ(CCalSetting::GetpName(rest, 2), "AB");
    EXPECT_EQ(rest, "CDEF");
    rest = "日本語";  // bytes, not characters
    EXPECT_EQ(CCalSetting::GetpName(rest, 4), "日本");
    EXPECT_EQ(rest, "語");
    EXPECT_EQ(CCalSetting::GetpName(rest, 10), "語");
    EXPECT_EQ(rest, "");

    CCalSetting t;
    t.CHName(0, std::string("  圧力 ") + std::string(3, '\0') + "x");
    EXPECT_EQ(t.CHName(0), "圧力");
    EXPECT_EQ(kernel::utf8ToCp932(t.CHName32(0)).size(), 32u);
}

TEST_F(CalSettingTest, CalFileRoundTripWithJapaneseNames) {
    forms::Form& w = loadCalWindow();
    for (int i = 0; i < 32; ++i) setRow(w, i, {"CH" + std::to_string(i + 1), "V", "100", "0", "2048", "0"});
    setRow(w, 0, {"温度センサ１", "℃", "50.5", "-10", "2047", "-3"});
    setRow(w, 31, {"ひずみ計", "με", "1e-05", "0", "32768", "12"});

    const std::string file = prog.win("TEST.CAL");
    CCalSetting saved;
    ASSERT_TRUE(saved.SaveCAL(file, w));
    EXPECT_EQ(saved.CHName(0), "温度センサ１");  // the window's table was copied in
    EXPECT_EQ(GetIniFileName(), file);
    EXPECT_EQ(saved.CalFilePath(), file);

    const std::string bytes = prog.readBytes("TEST.CAL");
    EXPECT_NE(bytes.find("[CAL]"), std::string::npos);
    EXPECT_NE(bytes.find("CAL(0)=---------- CAL(0) ----------\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("pName(0)=" + kernel::utf8ToCp932("温度センサ１") + "\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("温度"), std::string::npos);  // CP932 on disk, not UTF-8
    EXPECT_NE(bytes.find("fEU_HI(31)=1e-05\r\n"), std::string::npos);  // texts unchanged

    CCalSetting loaded;
    loaded.LoadCAL(file);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(row(loaded, i), row(saved, i)) << i;
    EXPECT_EQ(row(loaded, 31), (std::vector<std::string>{"ひずみ計", "με", "1e-05", "0", "32768", "12"}));

    // A missing key empties its field; an empty path rereads the table's own file.
    std::string edited = bytes;
    edited.erase(edited.find("fCAL_AD(3)="), std::string("fCAL_AD(3)=2048\r\n").size());
    prog.writeBytes("TEST.CAL", edited);
    kernel::clearProfileCache();
    SetIniFileName("");
    loaded.LoadCAL("");
    EXPECT_EQ(loaded.Cal_AD(3), "");
    EXPECT_EQ(loaded.Cal_AD(2), "2048");
    EXPECT_EQ(GetIniFileName(), file);
}

TEST_F(CalSettingTest, NoFileNamedMeansNothingReadOrWritten) {
    forms::Form& w = loadCalWindow();
    for (int i = 0; i < 32; ++i) setRow(w, i, {"N", "U", "1", "2", "3", "4"});
    CCalSetting t;
    t.LoadCAL("");
    EXPECT_EQ(t.CHName(5), "");
    EXPECT_EQ(t.Cal_AD(31), "");
    EXPECT_TRUE(t.SaveCAL("", w));
    EXPECT_EQ(t.Base_AD(7), "4");
    // Only the library link is in the program folder: no file was written.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(prog.dir()), {}), 1);

    // A file that cannot be written is reported, not taken for stored.
    EXPECT_FALSE(t.SaveCAL(prog.win("missing\\folder\\X.CAL"), w));
}

TEST_F(CalSettingTest, DispCalFillsOnlyTheChosenRowsAtTheirChannelPositions) {
    forms::Form& w = loadCalWindow();
    CCalSetting t;
    t.Cal_AD(4, "2047.5");
    t.Cal_AD(5, "2048.5");
    t.EU_HI(6, "0.1");
    t.Base_AD(7, "-12.5");
    t.CHName(7, "ch8" + std::string(28, '\0') + " ");
    t.DispCal(w, 5, 8);
    for (int c = 0; c < 6; ++c) {
        for (int i = 0; i < 32; ++i) {
            forms::Control& box = w.control(kColumns[c], i);
            const bool shown = i >= 4 && i <= 7;
            ASSERT_EQ(box.get("Visible").toBool(), shown) << kColumns[c] << i;
            if (!shown) continue;
            EXPECT_EQ(box.Top(), 600 + 250 + 285 * i);
            EXPECT_EQ(box.Left(), 100 + 1000 * c);
            EXPECT_EQ(box.Width(), 900 + c);
            EXPECT_EQ(box.Height(), 285);
        }
    }
    EXPECT_EQ(text(w, "txtCALAD", 4), "2048");
    EXPECT_EQ(text(w, "txtCALAD", 5), "2048");
    EXPECT_EQ(text(w, "txtEUHI", 6), "0.1");
    EXPECT_EQ(text(w, "txtBASEAD", 7), "-12");
    EXPECT_EQ(text(w, "txtName", 7), "ch8");
    EXPECT_EQ(text(w, "txtUnit", 5), "V");

    // A text that is no number stops the fill after the rows before it.
    t.EU_LO(6, "abc");
    t.DispCal(w, 1, 0);  // hides everything
    EXPECT_FALSE(w.control("txtName", 4).get("Visible").toBool());
    EXPECT_EQ(errorNumber([&] { t.DispCal(w, 5, 8); }), 13);
    EXPECT_TRUE(w.control("txtBASEAD", 5).get("Visible").toBool());
    EXPECT_FALSE(w.control("txtEULO", 6).get("Visible").toBool());
}

TEST_F(CalSettingTest, CloneCopiesTextsAndTypeButNotThePath) {
    CCalSetting a, b;
    a.LoadCAL(prog.win("A.CAL"));  // no file: every text empty, path set
    a.CHName(3, "名前");
    a.Cal_AD(3, "1000");
    a.CHType(3, 7);
    a.Clone(b);
    EXPECT_EQ(b.CHName(3), "名前");
    EXPECT_EQ(b.Cal_AD(3), "1000");
    EXPECT_EQ(b.EU_HI(0), "");
    EXPECT_EQ(b.CHType(3), 7);
    EXPECT_EQ(b.CalFilePath(), "");
}

TEST_F(CalSettingTest, ScaleMappingsAvoidZeroDivisorsAndInvertEachOther) {
    EXPECT_EQ(CCalSetting::GetEU1_2(1, 1, 10, 0, 5), 0.0f);
    EXPECT_EQ(CCalSetting::GetEU2_1(2, 0, 1, 1, 5), 0.0f);
    EXPECT_FLOAT_EQ(CCalSetting::GetEU1_2(2048, 0, 10, 0, 1024), 5.0f);
    const float y = CCalSetting::GetEU1_2(30536, -433, 10, -2, 1234.5f);
    EXPECT_NEAR(CCalSetting::GetEU2_1(30536, -433, 10, -2, y), 1234.5f, 1e-3);
    EXPECT_EQ(errorNumber([] { CCalSetting::GetEU1_2(1, 0, 3e38f, -3e38f, 2); }), 6);
}

TEST_F(CalSettingTest, PutcalPacksFieldsAndTheLibraryKeepsThemInDefaultCal) {
    // Before anything is stored, every name, unit and value comes back as "0".
    CCalSetting fresh;
    fresh.GETCAL();
    for (int i = 0; i < 32; ++i) EXPECT_EQ(row(fresh, i), std::vector<std::string>(6, "0"));
    EXPECT_EQ(fresh.CHName32(0), "0" + std::string(30, '\0') + " ");

    CCalSetting t;
    const std::string name31 = std::string(29, 'n') + "日";  // 31 bytes: no NUL in its field
    t.CHName(0, name31);
    t.Unit(0, "㎜");
    t.EU_HI(0, "12.5abc");
    t.EU_LO(0, "");
    t.Cal_AD(1, "-7");
    t.PUTCAL();
    EXPECT_EQ(t.Record()[0].EU_HI, 12.5f);
    EXPECT_EQ(t.Record()[0].EU_LO, 0.0f);
    EXPECT_EQ(t.Record()[1].Cal_AD, -7.0f);
    EXPECT_EQ(t.Record()[1].EU_HI, 100.0f);
    const std::string names = kernel::utf8ToCp932(GstrCalNames);
    ASSERT_EQ(names.size(), 1024u);
    EXPECT_EQ(names.substr(0, 32), kernel::utf8ToCp932(name31) + " ");
    EXPECT_EQ(names.substr(32, 32), "CH2" + std::string(28, '\0') + " ");
    EXPECT_EQ(kernel::utf8ToCp932(GstrCalUnits).substr(0, 2), kernel::utf8ToCp932("㎜"));

    // The library's store is DEFAULT.CAL in the program folder: another table gets them back.
    EXPECT_TRUE(std::filesystem::exists(prog.dir() / "DEFAULT.CAL"));
    CCalSetting back;
    back.CHType(2, 5);
    back.GETCAL();
    EXPECT_EQ(row(back, 0), (std::vector<std::string>{name31, "㎜", "12.5", "0", "2048", "0"}));
    EXPECT_EQ(row(back, 1), (std::vector<std::string>{"CH2", "V", "100", "0", "-7", "0"}));
    EXPECT_EQ(back.CHType(2), 5);
    EXPECT_EQ(kernel::utf8ToCp932(GstrCalNames).size(), 1024u);
}

// ---- the record array ----

TEST_F(CalSettingTest, CalToArrayFillsOnlyTheChosenChannels) {
    CCalSetting t;
    t.Cal_AD(2, "4096");
    t.Base_AD(2, "-3.5");
    t.EU_HI(2, "10.41");
    t.CHName(2, "流量");
    CalRecordArray rec{};
    std::string names = "old", units = "old";
    CalToArray(rec, names, units, t, 3, 3);
    EXPECT_EQ(rec[2].Cal_AD, 4096.0f);
    EXPECT_EQ(rec[2].Base_AD, -3.5f);
    EXPECT_EQ(rec[2].EU_HI, 10.41f);
    EXPECT_EQ(rec[2].EU_LO, 0.0f);
    EXPECT_EQ(rec[1].Cal_AD, 0.0f);
    EXPECT_EQ(rec[3].Cal_AD, 0.0f);
    EXPECT_EQ(names, t.CHName32(2));
    EXPECT_EQ(kernel::utf8ToCp932(names).size(), 32u);
    EXPECT_EQ(units, CCalSetting::FormatStr("V"));

    t.EU_LO(4, "x");
    EXPECT_EQ(errorNumber([&] { CalToArray(rec, names, units, t, 4, 6); }), 13);
    EXPECT_EQ(rec[3].Cal_AD, 2048.0f);  // filled before the bad text
    EXPECT_EQ(errorNumber([&] { CalToArray(rec, names, units, t, 32, 33); }), 9);
}

TEST_F(CalSettingTest, ArrayRoundTripKeepsTextsAndConsumesThirtyTwoBytesAChannel) {
    CCalSetting src;
    src.Cal_AD(0, "2047");
    src.EU_LO(0, "-10");
    src.EU_HI(1, "0.1");
    src.CHName(1, "日本語の長いチャンネル名前です十五文字以上");  // longer than a field
    src.Unit(0, "㎏");
    CalRecordArray rec{};
    std::string names, units;
    CalToArray(rec, names, units, src, 1, 32);
    GstrCalNames = CalTextLSet(names);
    EXPECT_EQ(kernel::utf8ToCp932(GstrCalNames).size(), 1024u);

    CCalSetting dst;
    dst.CHName(0, "");
    ArrayToCal(rec, names, units, dst, 1, 2);
    EXPECT_EQ(dst.Cal_AD(0), "2047");
    EXPECT_EQ(dst.EU_LO(0), "-10");
    EXPECT_EQ(dst.EU_HI(1), "0.1");
    EXPECT_EQ(dst.Unit(0), "㎏");
    EXPECT_EQ(dst.CHName(1), "日本語の長いチャンネル名前です");  // 30 bytes kept whole
    EXPECT_EQ(dst.CHName(2), "CH3");                            // untouched
    EXPECT_EQ(CCalSetting::GetpName(names, 32), src.CHName32(2));  // two fields consumed
}

TEST_F(CalSettingTest, BufferLeftAlignmentPadsAndCutsOnCharacters) {
    EXPECT_EQ(CalTextLSet("ab"), "ab" + std::string(1022, ' '));
    const std::string cut = CalTextLSet("x" + [] {
        std::string s;
        for (int i = 0; i < 600; ++i) s += "表";
        return s;
    }());
    const std::string bytes = kernel::utf8ToCp932(cut);
    ASSERT_EQ(bytes.size(), 1024u);
    EXPECT_EQ(bytes.back(), ' ');  // the character at byte 1024 does not fit whole
    EXPECT_EQ(cut.find('?'), std::string::npos);
}
