#pragma once
// The camera window beside the main window: the frames of the recording's video at the two
// cursors. Only what the rest of the program already calls is here: the reset of its frame
// labels, its control enabling, the frame lookup for a data position and its placement.
#include <cstdint>

#include "platform/forms/Form.h"

namespace qv {

class frmCAMDisp : public forms::Form {
public:
    // Created on first use.
    static frmCAMDisp& instance();
    static const forms::FormDesign& design();
    frmCAMDisp();

    forms::Label& Label4;
    forms::Label& lblFNo_L;      // frame number at the left cursor
    forms::Label& Label6;
    forms::Label& lblFNo_R;      // frame number at the right cursor
    forms::Label& Label5;
    forms::Label& lblTotalFNum;  // frame number at the last sample
    forms::Label& Label7;
    forms::TextBox& txtAdjustMS;  // offset between data and video, ms
    forms::TextBox& txtMP3Adjust;        // offset of the sound track
    forms::TextBox& txtStartTime;        // playback range, s
    forms::TextBox& txtEndTime;
    forms::TextBox& txtMP3AdjustOffset;

    // Forgets the frames of the data in memory: the frame labels read "--------".
    void DispInit();
    // Enables the playback controls from the mode; nothing to enable without players yet.
    void ALL_BTN_ModeSet();
    // Shows the frames that belong to the two data positions; the third argument is not used.
    void DispFlamePos(int32_t leftPoint, int32_t rightPoint, int32_t unused = 0);
    // A frame chosen in the frame-table test window, with the window handle of its marker box:
    // nothing to show it with.
    void DispFlame2(int32_t frame, int32_t hWnd);

    void Form_QueryUnload(int& Cancel, int UnloadMode);

    // With the parameter file current: the playback range and the adjustments from its section
    // "Control"; "0" for a missing key, the recording's length in seconds for the end time.
    void LoadParam();
};

}  // namespace qv
