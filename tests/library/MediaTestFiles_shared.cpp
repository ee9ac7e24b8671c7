// The media tests' RIFF builders (AVI and WAVE files written byte by byte), built into this
// test program as well.
#include "tests/platform/media/MediaTestFiles.cpp"
