#pragma once
// The fixture of the recording object's tests: a program folder with the library in it, the
// program-wide texts the object reads cleared, and the program presets it refills put back.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "app/channel/AmpCalTable.h"
#include "tests/app/common/IniSet_testsupport.h"
#include "tests/app/recording/CKdat_testsupport.h"

namespace qv::apptest {

// A program folder with the library in it, and the program-wide texts the recording object
// reads cleared before and after.
class KdatTestBase : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(prog.dir() / "libTrelm.so"))
            std::filesystem::create_symlink(std::filesystem::path(QV_BIN_DIR) / "libTrelm.so",
                                            prog.dir() / "libTrelm.so");
        reset();
        // Every object refills five program-wide presets: they are put back afterwards.
        for (size_t i = 0; i < kShared.size(); ++i) GCCalSetting(kShared[i]).Clone(saved_[i]);
    }
    void TearDown() override {
        for (size_t i = 0; i < kShared.size(); ++i) saved_[i].Clone(GCCalSetting(kShared[i]));
        reset();
    }
    static void reset() {
        SetIniFileName("");
        GstrCalNames.clear();
        GstrCalUnits.clear();
    }
    // Linux path of a file in the program folder.
    std::string file(const std::string& name) const { return (prog.dir() / name).string(); }
    TempProgramFolder prog;

private:
    static constexpr std::array<const char*, 5> kShared = {
        "GCCalSetting_DEBUG", "GCCalSetting_K36", "GCCalSetting_K38", "GCCalSetting_K44",
        "GCCalSetting_K46"};
    std::array<CCalSetting, 5> saved_;
};

}  // namespace qv::apptest
