#pragma once
// Pictures as PNG bytes (the clipboard's second format beside a metafile).
#include <cstdint>
#include <vector>

namespace qv::gdi {
class Surface;
}

namespace qv::media {

// The surface as an 8-bit RGB PNG, without alpha; empty for an empty surface or when the
// encoder fails.
std::vector<uint8_t> encodePng(const gdi::Surface& surface);

}  // namespace qv::media
