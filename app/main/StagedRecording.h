#pragma once
// A recording read and checked before any of it is applied: the parameter file in a staging
// record, the camera's frame list when the recording has one, and the length of the data file.
// A load that fails here has changed nothing.
#include <cstdint>
#include <optional>
#include <string>

#include "app/camera/modCAM.h"
#include "app/main/KparParam.h"

namespace qv {

struct StagedRecording {
    std::string base;                   // the path without extension
    KparParam param;
    std::optional<FlameTables> frames;  // a camera recording's frame list
    int32_t scansInData = -1;           // whole scans in the data file; -1: no data file
};

// Completes the staging of base & ".Kpar", already read into `param`: for a camera recording
// (trigger setting off, camera and frames in the parameter file) base & ".FLM" through the
// size-checked frame-list reader, and the length of base & ".Kdat". Raises the run-time error of
// the first file refused (53 for a missing frame list); writes nothing but the result.
StagedRecording StageRecording(const std::string& base, KparParam param);

// The windowed read of LoadWave_Sweep and LoadWave_Rec, for callers without the main window:
// the parameter record, the live conditions, the calibration arrays and GstrKdatFile as they are.
void ReadWaveWindow(int32_t& start, int32_t& count);
void ReadWaveChunk(int32_t& start, int32_t& count);

}  // namespace qv
