#include "app/channel/CBoard.h"

#include <gtest/gtest.h>

#include "tests/app/common/IniSet_testsupport.h"

using qv::CBoard;

using qv::apptest::errorNumber;

TEST(CBoard, DebugSourceHasItsOwnRow) {
    CBoard b;
    EXPECT_EQ(b.BordBit(-1), 16);
    EXPECT_EQ(b.BoardMaxCH(-1), 32);
    EXPECT_EQ(b.BoardName(-1), "デバッグ");
    EXPECT_EQ(b.DeviceName(-1), "デバッグ");
    EXPECT_FALSE(b.TrgSupport(-1));
    EXPECT_FALSE(b.TrelmSoftTrgSupport(-1));
    EXPECT_FALSE(b.DigitalTrgSupport(-1));
    EXPECT_FALSE(b.IsEnableDeviceName(-1));
}

TEST(CBoard, TableRowsKeepTheirColumnsApart) {
    CBoard b;
    EXPECT_EQ(b.BordBit(13), 11);
    EXPECT_EQ(b.BordBit(15), 13);
    EXPECT_EQ(b.BoardName(1), "");
    EXPECT_EQ(b.BoardName(8), b.BoardName(9));
    EXPECT_EQ(b.DeviceName(16), "\\\\.\\COM*");
    // Board 31: external trigger input only; board 4: a device name without a pattern.
    EXPECT_FALSE(b.TrgSupport(31));
    EXPECT_TRUE(b.DigitalTrgSupport(31));
    EXPECT_TRUE(b.IsEnableDeviceName(4));
    EXPECT_EQ(b.DeviceName(4), "");
    EXPECT_EQ(b.BoardMaxCH(32), 8);
}

TEST(CBoard, TypesOutsideTheTablesRaiseTheIndexError) {
    CBoard b;
    for (int32_t t : {-2, 33, 1000, INT32_MIN}) {
        EXPECT_EQ(errorNumber([&] { b.BordBit(t); }), 9) << t;
        EXPECT_EQ(errorNumber([&] { b.BoardName(t); }), 9) << t;
        EXPECT_EQ(errorNumber([&] { b.DigitalTrgSupport(t); }), 9) << t;
    }
}

TEST(CBoard, DeviceDescriptionsMapToTypesInTableOrder) {
    CBoard b;
    EXPECT_EQ(b.GetADName2ADType("National Instruments USB-6009 (Dev1)"), 15);
    EXPECT_EQ(b.GetADName2ADType("USB-6008"), 13);
    EXPECT_EQ(b.GetADName2ADType("CONTEC Co.,Ltd-AD16-16U(PCI)EH"), 3);
    EXPECT_EQ(b.GetADName2ADType("x AIO AD16-16U(PCI)EH y"), 19);
    EXPECT_EQ(b.GetADName2ADType("TI CC2531 USB CDC Serial Port (COM3)"), 28);
    // The first matching pattern wins when a description holds two of them.
    EXPECT_EQ(b.GetADName2ADType("USB-6001 USB-6008"), 13);
    // Case-sensitive, and no match gives -2.
    EXPECT_EQ(b.GetADName2ADType("usb-6009"), -2);
    EXPECT_EQ(b.GetADName2ADType(""), -2);
}

TEST(CBoard, DataFormatFlagsFollowTheSelectedBoard) {
    CBoard b;
    std::vector<int32_t> flags{7, 7};
    b.SelectBoard(31);
    b.GetADDataFormat_Signed_Unsigned(flags);
    ASSERT_EQ(flags.size(), 32u);
    for (int32_t f : flags) EXPECT_EQ(f, 0);
    for (int32_t board : {16, 32}) {
        b.SelectBoard(board);
        b.GetADDataFormat_Signed_Unsigned(flags);
        ASSERT_EQ(flags.size(), 32u);
        for (int32_t f : flags) EXPECT_EQ(f, 1);
    }
}

TEST(CBoard, OneInstanceUntilReleased) {
    CBoard::instance().SelectBoard(28);
    EXPECT_EQ(CBoard::instance().SelectBoard(), 28);
    CBoard::ReleaseInstance();
    EXPECT_EQ(CBoard::instance().SelectBoard(), 0);
}
