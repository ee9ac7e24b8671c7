#include "app/common/frmMessage.h"

namespace qv {

using T = forms::ControlType;

const forms::FormDesign& frmMessage::design() {
    // Twips. The window takes the size of the message panel, which sits at (-15, -15) so that
    // its one-pixel border lies just outside the borderless window.
    static const forms::FormDesign d{
        "frmMessage", "", 0, 0, 4815, 1455,
        {{"BorderStyle", 0}},
        {
            {T::PictureBox, "PBX_Message", -1, "", -15, -15, 4815, 1455, "",
             {{"Appearance", 0}}},
            {T::Label, "LBL_Progress_Caption", 0, "PBX_Message", 120, 180, 4560, 360, "Now Saving",
             {{"Alignment", 2}, {"FontName", "ＭＳ Ｐゴシック"}, {"FontSize", 12}}},
            {T::Label, "LBL_Progress_Caption", 1, "PBX_Message", 120, 600, 4560, 360, "Please Wait",
             {{"Alignment", 2}, {"FontName", "ＭＳ Ｐゴシック"}, {"FontSize", 12}}},
            {T::CommandButton, "cmdClose", -1, "PBX_Message", 3720, 1020, 960, 330, "Close", {}},
            {T::PictureBox, "PBX_Progress", -1, "", -15, -15, 4815, 1455, "",
             {{"Appearance", 0}, {"Visible", false}}},
            {T::Label, "LBL_Progress_Caption", 2, "PBX_Progress", 120, 120, 4560, 300, "File Name",
             {{"FontName", "ＭＳ Ｐゴシック"}}},
            {T::ProgressBar, "ProgressBar1", -1, "PBX_Progress", 120, 480, 4560, 300, "", {}},
            {T::Label, "LBL_Progress_Value", -1, "PBX_Progress", 120, 960, 1080, 270, "00000",
             {{"Alignment", 1}, {"FontName", "ＭＳ Ｐゴシック"}}},
            {T::Label, "Label46", -1, "PBX_Progress", 1260, 960, 240, 270, "／",
             {{"Alignment", 2}, {"FontName", "ＭＳ Ｐゴシック"}}},
            {T::Label, "LBL_Progress_Max", -1, "PBX_Progress", 1560, 960, 1080, 270, "00000",
             {{"FontName", "ＭＳ Ｐゴシック"}}},
            {T::CheckBox, "chkAbort", -1, "PBX_Progress", 3480, 930, 1200, 330, "Abort", {}},
        }};
    return d;
}

}  // namespace qv
