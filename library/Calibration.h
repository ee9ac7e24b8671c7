#pragma once
// Internal to the library: the calibration store's held path. No export sets it, so the
// program's store stays empty; tests give it a file to check the format.
namespace trelm {

// Copies at most 2047 bytes of a CP932 path; "" empties the store.
void setCalibrationStorePath(const char* path);

}  // namespace trelm
