#pragma once
// The program's binding to the Trelm library (libTrelm.so).
//
// Each export is called as Trelm::NAME(...) with the library's own signature. The library is
// loaded at the first call of any export (the program folder first, then the normal search
// path) and each export is looked up by name at its own first call, as the original program
// bound it. Failures are run-time errors of that call only; other exports keep working:
//   453  the library has no such export (ADCBOARD ... ADCSTATUS, S_ADDC_ptr are never there),
//    53  no libTrelm.so in the program folder nor on the search path,
//    48  the file was found but could not be loaded.
#include "library/trelm.h"

#include "platform/basic/RuntimeError.h"

#include <cstdint>
#include <string_view>

namespace Trelm {

// Board-control entries the program declares and the library has never provided; nothing in
// this system gives them arguments, and every call raises error 453.
using ADCBOARD_t = int32_t();
using ADCBOARDNAME_t = int32_t(char* deviceNames, char* boardDescriptions);  // 1024 bytes each
using ADCGET_t = int32_t();
using ADCSET_t = int32_t();
using ADCSET2_t = int32_t();
using ADCSET3_t = int32_t();
using ADCSTATUS_t = int32_t();
// Declared with S_ADDC's arguments under a name the library does not export.
using S_ADDC_ptr_t = decltype(::S_ADDC);

namespace detail {

// The export's address; loads the library first when needed. Raises 453, 53 or 48.
void* resolve(const char* name);
// Bumped when the binding is reset, so every cached address is looked up again.
unsigned generation();

template <typename Signature>
class Import;

template <typename R, typename... Args>
class Import<R(Args...)> {
public:
    constexpr explicit Import(const char* exportName) : name_(exportName) {}
    R operator()(Args... args) const {
        if (!fn_ || gen_ != generation()) {
            fn_ = reinterpret_cast<R (*)(Args...)>(resolve(name_));
            gen_ = generation();
        }
        return fn_(args...);
    }
    const char* name() const { return name_; }

private:
    const char* name_;
    mutable R (*fn_)(Args...) = nullptr;
    mutable unsigned gen_ = 0;
};

}  // namespace detail

#define TRELM_IMPORT(name) inline detail::Import<decltype(::name)> name{#name}
TRELM_IMPORT(S_ADD); TRELM_IMPORT(S_SUB); TRELM_IMPORT(S_MUL); TRELM_IMPORT(S_DIV);
TRELM_IMPORT(S_ADDC); TRELM_IMPORT(S_SUBC); TRELM_IMPORT(S_MULC); TRELM_IMPORT(S_DIVC);
TRELM_IMPORT(S_SUBCA); TRELM_IMPORT(S_DIVCA); TRELM_IMPORT(S_ADDW); TRELM_IMPORT(S_ABS);
TRELM_IMPORT(S_FILL); TRELM_IMPORT(S_SUM); TRELM_IMPORT(S_MEAN); TRELM_IMPORT(S_SD);
TRELM_IMPORT(S_RMS); TRELM_IMPORT(S_MAX); TRELM_IMPORT(S_MIN); TRELM_IMPORT(S_MAXMIN);
TRELM_IMPORT(S_D2S); TRELM_IMPORT(S_I2S); TRELM_IMPORT(S_L2S); TRELM_IMPORT(S_S2D);
TRELM_IMPORT(S_S2I); TRELM_IMPORT(S_S2L); TRELM_IMPORT(S_SHIFT); TRELM_IMPORT(S_SAMPLE);
TRELM_IMPORT(S_EXPAND); TRELM_IMPORT(S_CONDENSE); TRELM_IMPORT(S_TRANS);
TRELM_IMPORT(S_MVAV); TRELM_IMPORT(S_MVAV0); TRELM_IMPORT(S_MVAV2);
TRELM_IMPORT(S_PEAK); TRELM_IMPORT(S_SLICE); TRELM_IMPORT(S_FFT);
TRELM_IMPORT(S_INVFFT); TRELM_IMPORT(M_MKSIN); TRELM_IMPORT(M_MKCOS);
TRELM_IMPORT(M_MKPULSE); TRELM_IMPORT(M_MKPULSE2); TRELM_IMPORT(VIEWSET);
TRELM_IMPORT(MARGINSET); TRELM_IMPORT(WINDOW); TRELM_IMPORT(LINETYPES);
TRELM_IMPORT(LINETYPES2); TRELM_IMPORT(MOVEDRAW); TRELM_IMPORT(MOVEDRAWRECT);
TRELM_IMPORT(DISPS); TRELM_IMPORT(DISPS2); TRELM_IMPORT(DISPS3); TRELM_IMPORT(DISPLSJ);
TRELM_IMPORT(DISPLSJ2); TRELM_IMPORT(DISPLSJ3); TRELM_IMPORT(AXISBOX);
TRELM_IMPORT(AXISBOX2); TRELM_IMPORT(CPLOT); TRELM_IMPORT(CTYPEM); TRELM_IMPORT(CTYPEA);
TRELM_IMPORT(H_VIEWSET); TRELM_IMPORT(H_WAVEGET); TRELM_IMPORT(H_MARGINSET);
TRELM_IMPORT(H_WINDOW); TRELM_IMPORT(H_CONVPIXEL); TRELM_IMPORT(H_CONVWINDOW);
TRELM_IMPORT(H_CURSORSIZE); TRELM_IMPORT(H_CURSOR); TRELM_IMPORT(H_CURSORMOVE);
TRELM_IMPORT(H_CURSORPROP); TRELM_IMPORT(H_CURSORDISP); TRELM_IMPORT(H_CURSORNUM);
TRELM_IMPORT(H_AXISSET); TRELM_IMPORT(H_PAINT); TRELM_IMPORT(H_DELETE);
TRELM_IMPORT(H_LINETYPES); TRELM_IMPORT(PUTCAL); TRELM_IMPORT(GETCAL);
TRELM_IMPORT(M_Change); TRELM_IMPORT(SAVEIMAGE); TRELM_IMPORT(CAM_GETAVIINFO);
TRELM_IMPORT(CAM_DISPBITMAP); TRELM_IMPORT(CAM_GETMEDIACONTROL); TRELM_IMPORT(CAM_TEST);
TRELM_IMPORT(MMIO_INIT2); TRELM_IMPORT(MMIO_INFO_0);
TRELM_IMPORT(P_MONITOR_SETTING); TRELM_IMPORT(P_MONITOR);
TRELM_IMPORT(GET_VER_NO); TRELM_IMPORT(GET_ERROR_STR); TRELM_IMPORT(TEST_FUNC);
TRELM_IMPORT(DEBUG_NO); TRELM_IMPORT(DEBUG_NOREADP); TRELM_IMPORT(DEBUG_GET_BUFPARAM);
TRELM_IMPORT(DEBUG_GET_BUFPARAM2); TRELM_IMPORT(DEBUG_GET_BUFSIZE);
TRELM_IMPORT(DEBUG_GET_BUFFER); TRELM_IMPORT(DEBUG_GET_BUFFER2);
TRELM_IMPORT(DEBUG_GET_BUFFER3); TRELM_IMPORT(DEBUG_GET_H_FUNCTION);
TRELM_IMPORT(DBG_WAVE_SIN); TRELM_IMPORT(DBG_WAVE_COS); TRELM_IMPORT(DBG_WAVE_PLUSE);
TRELM_IMPORT(DBG_WAVE_LEN); TRELM_IMPORT(DBG_WAVE_FREE); TRELM_IMPORT(DBG_WAVE_WAIT);
#undef TRELM_IMPORT

inline detail::Import<ADCBOARD_t> ADCBOARD{"ADCBOARD"};
inline detail::Import<ADCBOARDNAME_t> ADCBOARDNAME{"ADCBOARDNAME"};
inline detail::Import<ADCGET_t> ADCGET{"ADCGET"};
inline detail::Import<ADCSET_t> ADCSET{"ADCSET"};
inline detail::Import<ADCSET2_t> ADCSET2{"ADCSET2"};
inline detail::Import<ADCSET3_t> ADCSET3{"ADCSET3"};
inline detail::Import<ADCSTATUS_t> ADCSTATUS{"ADCSTATUS"};
inline detail::Import<S_ADDC_ptr_t> S_ADDC_ptr{"S_ADDC_ptr"};

// The binding itself, for tests and diagnostics.
namespace binding {

// File name of the library ("libTrelm.so"); tests may point it at another file.
void setLibraryFile(std::string_view fileName);
// True once the library has been loaded.
bool isLoaded();
// Unloads the library and forgets every looked-up export; the next call loads it again.
void reset();

}  // namespace binding

}  // namespace Trelm
