#pragma once
// Trelm: the plotting and signal library's exported interface.
//
// Every export has C linkage and its exact name. Value arguments keep the widths of the
// original interface (32-bit integers, 32-bit floats); 16-bit words, doubles and texts are
// passed by address, and addresses are native pointers. Texts are zero-terminated CP932
// bytes. Window and device-context arguments are the platform's int32 handle ids.
//
// Caller contracts (the library trusts them and checks nothing else):
//  - arrays hold at least the counts passed (`M_Change`: dst nch*n floats, raw nch*n words,
//    cal nch records; result lists of `S_PEAK`/`S_SLICE` at most n entries each);
//  - `GET_ERROR_STR` writes exactly 2048 bytes;
//  - `DEBUG_GET_H_FUNCTION` copies "slot count" graph records and `GCursorNum` cursor records;
//  - `S_MVAV0`/`S_MVAV2` with an even width w read w + 1 weights; the moving averages, like
//    the resampling exports, need a destination apart from their source.
// The library reports no errors: unusable input returns without effect. No C++ exception
// leaves an export: running out of memory ends the call with its answer for unusable input.
#include <cstdint>

#if defined(__GNUC__)
#define TRELM_API __attribute__((visibility("default")))
#else
#define TRELM_API
#endif

extern "C" {

// ---- Element-wise arithmetic (dst may equal a source) ----
TRELM_API void S_ADD(float* dst, const float* a, const float* b, int32_t n);
TRELM_API void S_SUB(float* dst, const float* a, const float* b, int32_t n);
TRELM_API void S_MUL(float* dst, const float* a, const float* b, int32_t n);
TRELM_API void S_DIV(float* dst, const float* a, const float* b, int32_t n);
TRELM_API void S_ADDC(float* dst, const float* src, float c, int32_t n);  // c == 0: memmove
TRELM_API void S_SUBC(float* dst, const float* src, float c, int32_t n);
TRELM_API void S_MULC(float* dst, const float* src, float c, int32_t n);
TRELM_API void S_DIVC(float* dst, const float* src, float c, int32_t n);
TRELM_API void S_SUBCA(float* dst, float c, const float* src, int32_t n);
TRELM_API void S_DIVCA(float* dst, float c, const float* src, int32_t n);
TRELM_API void S_ADDW(double* dst, const double* a, const float* b, int32_t n);
TRELM_API void S_ABS(float* dst, const float* src, int32_t n);
TRELM_API void S_FILL(int32_t* dst, int32_t value, int32_t n);

// ---- Statistics ----
TRELM_API void S_SUM(float* out, const float* src, int32_t n);
TRELM_API void S_MEAN(float* out, const float* src, int32_t n);
TRELM_API void S_SD(float* out, const float* src, int32_t n);
TRELM_API void S_RMS(float* out, const float* src, int32_t n);
TRELM_API void S_MAX(float* value, int32_t* index, const float* src, int32_t n);
TRELM_API void S_MIN(float* value, int32_t* index, const float* src, int32_t n);
TRELM_API void S_MAXMIN(float* max, float* min, const float* src, int32_t n);

// ---- Type conversion (float to integer truncates; NaN/out of range give 0x80000000) ----
TRELM_API void S_D2S(float* dst, const double* src, int32_t n);
TRELM_API void S_I2S(float* dst, const int16_t* src, int32_t n);
TRELM_API void S_L2S(float* dst, const int32_t* src, int32_t n);
TRELM_API void S_S2D(double* dst, const float* src, int32_t n);
TRELM_API void S_S2I(int16_t* dst, const float* src, int32_t n);  // low 16 bits, no saturation
TRELM_API void S_S2L(int32_t* dst, const float* src, int32_t n);

// ---- Resampling and moving ----
TRELM_API void S_SHIFT(int32_t* array, int32_t start, int32_t count, int32_t k, int32_t size);
TRELM_API void S_SAMPLE(int32_t* dst, const int32_t* src, int32_t step, int32_t n);
TRELM_API void S_EXPAND(float* dst, const float* src, int32_t n, int32_t m);
TRELM_API void S_CONDENSE(float* dst, const float* src, int32_t n, int32_t m);
TRELM_API void S_TRANS(float* dst, const float* src, int32_t ignored, int32_t n, int32_t m);
TRELM_API void S_MVAV(float* dst, const float* src, int32_t width, int32_t n);
TRELM_API void S_MVAV0(float* dst, const float* src, int32_t width, int32_t n, const float* weights);
TRELM_API void S_MVAV2(float* dst, const float* src, int32_t width, int32_t n, const float* weights);

// ---- Events and spectra ----
TRELM_API void S_PEAK(int32_t* npeaks, float* peaks, int32_t* nvalleys, float* valleys,
                      const float* data, int32_t n, float threshold);
TRELM_API void S_SLICE(int32_t* count1, float* list1, int32_t* count2, float* list2,
                       const float* data, int32_t n, float level, float width, float upper,
                       float lower);
TRELM_API void S_FFT(float* re, float* im, const float* src, int32_t n);
TRELM_API void S_INVFFT(float* out, const float* re, const float* im, int32_t n);

// ---- Test signals ----
TRELM_API void M_MKSIN(float* dst, int32_t cycles, int32_t n);
TRELM_API void M_MKCOS(float* dst, int32_t cycles, int32_t n);
TRELM_API void M_MKPULSE(float* dst, int32_t cycles, int32_t n);
TRELM_API void M_MKPULSE2(float* dst, int32_t cycles, int32_t n, const float* duty);

// ---- Global-view plotting ----
TRELM_API void VIEWSET(int32_t window, int32_t dc);
TRELM_API void MARGINSET(int32_t left, int32_t right, int32_t top, int32_t bottom);
TRELM_API void WINDOW(float xmin, float ymin, float xmax, float ymax);
TRELM_API void LINETYPES(int32_t style, int32_t colour);
TRELM_API void LINETYPES2(int32_t style, int32_t colour, int32_t width);
TRELM_API void MOVEDRAW(float x1, float y1, float x2, float y2);
TRELM_API void MOVEDRAWRECT(float x1, float y1, float x2, float y2, int32_t fill);
TRELM_API void DISPS(const float* y, int32_t n, int32_t style, float xoffset, float yoffset);
TRELM_API void DISPS2(const float* y, int32_t n, int32_t style, float xoffset, float yoffset);
TRELM_API void DISPS3(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e);
TRELM_API void DISPLSJ(const float* x, const float* y, int32_t n, int32_t style, int32_t size);
TRELM_API void DISPLSJ2(const float* x, const float* y, int32_t n, int32_t connect,
                        const char* label, int32_t fontHeight);
TRELM_API void DISPLSJ3(const float* x, const float* y, const int32_t* flags, int32_t n,
                        int32_t style, int32_t size);
TRELM_API void AXISBOX(float gridX, float gridY, float originX, float originY,
                       int32_t labelOffsetX, int32_t labelOffsetY, float labelStepX,
                       float labelStepY, int32_t gridPenStyle, const int32_t* options);
TRELM_API void AXISBOX2(float gridX, float gridY, float originX, float originY,
                        int32_t labelOffsetX, int32_t labelOffsetY, float labelStepX,
                        float labelStepY, int32_t gridPenStyle, const int32_t* options);
TRELM_API void CPLOT(float x, float y, const char* text);
TRELM_API void CTYPEM(int32_t width, int32_t height);
TRELM_API void CTYPEA(float degrees);

// ---- Graph handles and cursors ----
TRELM_API int32_t H_VIEWSET(int32_t window, int32_t dc);  // the handle, 0 when the table is full
TRELM_API int32_t H_WAVEGET(int32_t handle);              // returns the handle
TRELM_API void H_MARGINSET(int32_t handle, int32_t left, int32_t right, int32_t top,
                           int32_t bottom);
TRELM_API void H_WINDOW(int32_t handle, float xmin, float ymin, float xmax, float ymax);
TRELM_API int32_t H_CONVPIXEL(int32_t handle, float* x, float* y);  // -1 for an unknown handle
TRELM_API void H_CONVWINDOW(int32_t handle, float* x, float* y);
TRELM_API void H_CURSORSIZE(int32_t handle, int32_t n);
TRELM_API void H_CURSOR(int32_t handle, int32_t cursor, float x1, float y1, float x2, float y2);
TRELM_API void H_CURSORMOVE(int32_t handle, int32_t cursor, float x1, float y1, float x2,
                            float y2);
TRELM_API void H_CURSORPROP(int32_t handle, int32_t cursor, int32_t colour, int32_t penStyle,
                            int32_t penWidth);
TRELM_API void H_CURSORDISP(int32_t handle, int32_t cursor, int32_t flag);
TRELM_API void H_CURSORNUM(int32_t handle, float x, float y, float tolX, float tolY,
                           int32_t* cursor);
TRELM_API void H_AXISSET(int32_t handle, float gridX, float gridY, float originX, float originY,
                         int32_t labelOffsetX, int32_t labelOffsetY, float labelStepX,
                         float labelStepY, int32_t gridPenStyle, const int32_t* options);
TRELM_API int32_t H_PAINT(int32_t handle);  // a count callers ignore
TRELM_API void H_DELETE(int32_t handle);
TRELM_API void H_LINETYPES(int32_t a, int32_t b, int32_t c, int32_t d);

// ---- Calibration (cal: 32 x {EU_HI, EU_LO, CAL_AD, BASE_AD}; names/units: 32 x 32 bytes) ----
TRELM_API void PUTCAL(const float* cal, const char* names, const char* units);
TRELM_API void GETCAL(float* cal, char* names, char* units);
// nch: low 16 bits, signed. Returns n.
TRELM_API int32_t M_Change(float* dst, const int16_t* raw, int32_t nch, int32_t n,
                           const float* cal);

// ---- Window image, video and sound ----
TRELM_API void SAVEIMAGE(int32_t window, const char* path, int32_t ignored);
TRELM_API void CAM_GETAVIINFO(const char* path, void* info);  // 108-byte file-info record
TRELM_API int32_t CAM_DISPBITMAP(int32_t window, const char* path, int32_t frame);
TRELM_API void CAM_GETMEDIACONTROL(int32_t* out);
TRELM_API void CAM_TEST(int32_t ignored);
TRELM_API int32_t MMIO_INIT2(const char* path, int16_t* cbSize, int32_t* nAvgBytesPerSec,
                             int16_t* nBlockAlign, int16_t* nChannels, int32_t* nSamplesPerSec,
                             int16_t* wBitsPerSample, int16_t* wFormatTag, int32_t* dataSize,
                             int32_t* dataOffset);
// The original's decorated name "_MMIO_INFO@0" cannot be an ELF symbol here: the GNU linker
// reads "@" as a symbol version ("version node not found"). It is exported as MMIO_INFO_0.
TRELM_API void MMIO_INFO_0();

// ---- Program start ----
TRELM_API void P_MONITOR_SETTING(const char* path);
TRELM_API void P_MONITOR();

// ---- Information ----
TRELM_API void GET_VER_NO(int32_t* out);
TRELM_API void GET_ERROR_STR(char* out);
TRELM_API void TEST_FUNC(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f);

// ---- Diagnostics ----
TRELM_API int32_t DEBUG_NO(int32_t ignored);
TRELM_API void DEBUG_NOREADP(int32_t* out);
TRELM_API void DEBUG_GET_BUFPARAM(int32_t* index, int32_t* second);
TRELM_API void DEBUG_GET_BUFPARAM2(int32_t* out);
TRELM_API void DEBUG_GET_BUFSIZE(int32_t* out);
TRELM_API void DEBUG_GET_BUFFER(int16_t* dst);
TRELM_API void DEBUG_GET_BUFFER2(int16_t* dst, int32_t start, int32_t n);
TRELM_API void DEBUG_GET_BUFFER3(int16_t* dst, int32_t back, int32_t n);
TRELM_API void DEBUG_GET_H_FUNCTION(int32_t* graphCount, void* graphs, int32_t* cursorCount,
                                    void* cursors);
TRELM_API void DBG_WAVE_SIN(int32_t cycles, int32_t n, int32_t channel);
TRELM_API void DBG_WAVE_COS(int32_t cycles, int32_t n, int32_t channel);
TRELM_API void DBG_WAVE_PLUSE(int32_t cycles, int32_t n, int32_t channel);
TRELM_API void DBG_WAVE_LEN(int32_t length, int32_t channel);
TRELM_API void DBG_WAVE_FREE(int32_t value, int32_t index, int32_t channel);
TRELM_API void DBG_WAVE_WAIT(int32_t wait);

}  // extern "C"
