#pragma once
// The camera frame tables of the opened recording: the A/D count at which each video frame was
// captured (frame i of the ".FLM" is frame i of the video), the per-fetch counts, and the groups
// of frames that share one count. The look-ups turn a data sample position into a frame number.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/basic/Collection.h"

namespace qv {

// Frame positions in sample points, non-decreasing, frame 0 first. Empty until the first load
// of a recording with a camera; a load without one leaves the tables of the previous recording.
extern std::vector<int32_t> GlFlameTime;
extern std::vector<double> GdblFlameTime;   // the same positions as the file's doubles
extern std::vector<float> GsngFlameTime;    // the doubles as floats (or GlFlameTime when unusable)
extern std::vector<int32_t> GlTime_ADCGET;  // one count per A/D fetch; only [0] is shown
extern int32_t GlADCGETCnt;                 // elements of GlTime_ADCGET in the frame list
extern int32_t GlTime_ADSTART;              // read with the recording, not used further

// Key: the decimal text of a frame position; item: the indices of the frames at it, "3,4,5".
extern basic::Collection<std::string> StackFlameTable;

// The frame list's three blocks, read and checked but not yet in use.
struct FlameTables {
    std::vector<int32_t> lFlameTime;
    std::vector<double> dblFlameTime;
    std::vector<float> sngFlameTime;
    std::vector<int32_t> lTime_ADCGET;
};

// The bytes of a frame list holding capNum frames and adcGetCnt fetch counts, as tables. Bytes
// after the third block are ignored. A negative count raises run-time error 9 and bytes short of
// 12 x capNum + 4 x adcGetCnt error 62 (input past end of file), before anything is allocated.
FlameTables ParseFlameList(std::string_view bytes, int32_t capNum, int32_t adcGetCnt);

// Makes the tables the program's, builds StackFlameTable and, when the frame-table test window
// is shown, lists the two position tables there.
void UseFlameTables(FlameTables&& tables);

// Reads the frame list `flmFile` (a Windows-style path) of GlCapNum frames and GlADCGETCnt
// fetch counts and puts it in use. A file that cannot be opened raises its run-time error (53),
// a refused one that of ParseFlameList; then every table stays as it was.
void ReadFlameList(const std::string& flmFile);

// The index into GlFlameTime of the last frame at or before the position (one of the frames at
// the position when several share it; 0 before the first); -1 while there is no frame table.
int32_t FindStackFlameIndex(int32_t position);

// The first frame (or with `last` the last frame) of the group at FindStackFlameIndex. Raises
// error 9 while there is no frame table and error 5 when the group is missing from
// StackFlameTable.
int32_t GetStackFlameNo(int32_t position, bool last);

}  // namespace qv
