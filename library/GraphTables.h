#pragma once
// The graph slot and cursor tables as the diagnostic dump copies them (internal to the library).
// Records keep the field order of the library's documentation, with natural alignment.
#include "platform/gdi/GdiTypes.h"

#include <cstdint>

namespace trelm {

constexpr int32_t kGraphSlots = 10000;  // slot 0 is never handed out
constexpr int32_t kCursorRecords = 10000;
constexpr int32_t kAxisDefinitions = 10000;

struct GraphSlot {
    uint8_t inUse;
    int32_t registeredHandle;  // written by H_WAVEGET; lookups need it equal to the handle
    int32_t window;
    int32_t dc;
    qv::gdi::LOGFONTA labelFont;
    int32_t slotIndex;
    int32_t windowHeight, windowWidth;
    int32_t plotHeight, plotWidth;
    int32_t cursorCount;
    int32_t left, right, top, bottom;
    float xmin, ymin, xmax, ymax;
    float xspan, yspan;
    double xscale, yscale;  // world units per pixel
};

struct CursorRecord {
    uint8_t bEnable;
    uint8_t bCursor;
    int32_t ParentGrapHandle;
    int32_t ParentWaveHandle;
    int32_t lCurNo;
    float X1, Y1, X2, Y2;
    float prevX1, prevY1, prevX2, prevY2;
    uint8_t bDisp;
    int32_t colour;
    int32_t penStyle;
    int32_t penWidth;
};

// Slot count (next never-used slot) and the slots; cursor high-water count and the records.
int32_t graphSlotCount();
const GraphSlot* graphSlots();
int32_t cursorHighWater();
const CursorRecord* cursorRecords();

}  // namespace trelm
