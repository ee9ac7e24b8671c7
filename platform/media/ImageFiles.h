#pragma once
// JPEG and PNG files of an RGB picture (libjpeg-turbo, libpng). Both encode in memory and
// write the file whole through a temporary file renamed over the target, so a failure leaves
// the old file as it was.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"

namespace qv::media {

// The surface's pixels (the fourth byte ignored).
// Baseline JPEG, 8-bit RGB at the given quality (clamped to 1..100). Empty on failure.
std::vector<uint8_t> encodeJpeg(const gdi::Surface& image, int quality);
// 8-bit RGB, non-interlaced PNG. Empty on failure.
std::vector<uint8_t> encodePng(const gdi::Surface& image);

// Encode and write; false when the picture is empty or the file cannot be written.
bool writeJpegFile(const std::string& path, const gdi::Surface& image, int quality);
bool writePngFile(const std::string& path, const gdi::Surface& image);

}  // namespace qv::media
