#include "app/common/IniSet_Options.h"

#include <gtest/gtest.h>

#include "tests/app/common/IniSet_testsupport.h"
#include "app/common/IniSet.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Runtime.h"

using namespace qv;
using T = qv::forms::ControlType;

namespace {

struct MainTag {};
struct CondTag {};

class OptionTestsTest : public ::testing::Test {
protected:
    void TearDown() override {
        forms::Runtime::get().reset();
        GAcqCondition = AcqCondition{};
    }
    template <class C>
    static C& get(std::string_view window, std::string_view name) {
        return dynamic_cast<C&>(forms::Runtime::get().findForm(window)->control(name));
    }
};

TEST_F(OptionTestsTest, MainWindowBoxesCountOnlyWhenTickedAndTheWindowIsLoaded) {
    bool (*tests[])() = {IsDetectR, IsStorageMode, IsBlobrelayOn, IsUseCal, IsGetRemoteHost,
                         IsGetADBoard, IsTerminalMode, IsVylS80Board};
    for (auto test : tests) EXPECT_FALSE(test());

    apptest::loadStandIn<MainTag>("Acqisition",
                                  {{T::CheckBox, "chkDetectR"}, {T::OptionButton, "optStorage"},
                                   {T::OptionButton, "optMonitor"}, {T::CheckBox, "chkBlobrelay"},
                                   {T::CheckBox, "chkUseCAL"}});
    const struct {
        const char* control;
        bool (*test)();
    } cases[] = {{"chkBlobrelay", IsBlobrelayOn}, {"chkUseCAL", IsUseCal}, {"chkDetectR", IsDetectR}};
    for (const auto& c : cases) {
        auto& box = get<forms::CheckBox>("Acqisition", c.control);
        EXPECT_FALSE(c.test()) << c.control;
        box.setValue(1);
        EXPECT_TRUE(c.test()) << c.control;
        box.setValue(2);  // greyed is not ticked
        EXPECT_FALSE(c.test()) << c.control;
    }
    get<forms::CheckBox>("Acqisition", "chkDetectR").setValue(1);
    GAcqCondition.strTRIGGER_SETTING.assign(1, '1');  // (count, char): GCC 12 warns falsely on "1" here
    EXPECT_FALSE(IsDetectR());

    get<forms::OptionButton>("Acqisition", "optStorage").setValue(true);
    EXPECT_TRUE(IsStorageMode());
    get<forms::OptionButton>("Acqisition", "optMonitor").setValue(true);
    EXPECT_FALSE(IsStorageMode());
}

TEST_F(OptionTestsTest, ConditionsWindowSourceAndBoard) {
    apptest::loadStandIn<CondTag>("frmCondition",
                                  {{T::OptionButton, "optGetADBoard"}, {T::OptionButton, "optGetRemoteHost"},
                                   {T::CheckBox, "chkTerminalMode"}, {T::ComboBox, "cmbADBoard"}});
    get<forms::OptionButton>("frmCondition", "optGetRemoteHost").setValue(true);
    EXPECT_TRUE(IsGetRemoteHost());
    EXPECT_FALSE(IsGetADBoard());
    get<forms::CheckBox>("frmCondition", "chkTerminalMode").setValue(1);
    EXPECT_TRUE(IsTerminalMode());

    auto& boards = get<forms::ComboBox>("frmCondition", "cmbADBoard");
    get<forms::OptionButton>("frmCondition", "optGetADBoard").setValue(true);
    EXPECT_FALSE(IsGetRemoteHost());
    EXPECT_FALSE(IsVylS80Board());  // empty list
    boards.AddItem("VylS70");
    boards.setItemData(0, 30);
    boards.AddItem("VylS80");
    boards.setItemData(1, 31);
    EXPECT_FALSE(IsVylS80Board());  // nothing selected
    boards.setListIndex(0);
    EXPECT_FALSE(IsVylS80Board());
    boards.setListIndex(1);
    EXPECT_TRUE(IsVylS80Board());
    get<forms::OptionButton>("frmCondition", "optGetRemoteHost").setValue(true);
    EXPECT_FALSE(IsVylS80Board());
}

}  // namespace
