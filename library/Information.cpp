// Informational exports: the version number, the status text and the test entry.
#include "library/trelm.h"

#include <cstring>

namespace {

// The status text, CP932, as the library has always returned it:
// "この変数に状態を表す文字列を設定してください。" followed by zero bytes up to 2048.
constexpr size_t kStatusTextSize = 2048;
const char kStatusText[kStatusTextSize] = "\x82\xb1\x82\xcc\x95\xcf\x90\x94\x82\xc9\x8f\xf3\x91\xd4\x82\xf0\x95\x5c\x82\xb7\x95\xb6\x8e\x9a\x97\xf1\x82\xf0\x90\xdd\x92\xe8\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42";

}  // namespace

extern "C" {

void GET_VER_NO(int32_t* out) { *out = 101; }

void GET_ERROR_STR(char* out) { std::memcpy(out, kStatusText, kStatusTextSize); }

void TEST_FUNC(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}

}  // extern "C"
