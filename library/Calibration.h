#pragma once
// Internal to the library: the calibration store's file. No export names it; unless a test
// gives it one, it is DEFAULT.CAL in the program folder.
namespace trelm {

// Copies at most 2047 bytes of a CP932 path; "" leaves the store without a file.
void setCalibrationStorePath(const char* path);
// Back to the program folder's DEFAULT.CAL.
void resetCalibrationStorePath();

}  // namespace trelm
