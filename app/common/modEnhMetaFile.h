#pragma once
// Capturing a picture box's drawing as an enhanced metafile on disk.
#include <cstdint>
#include <string>

namespace qv::forms {
class PictureBox;
}

namespace qv {

// A recording device context for a new enhanced metafile `fileName` framed to the picture
// box's size (in 0.01 mm of the screen), described as "TEST"; 0 when it cannot be made.
// Draw into it, then end with CloseEMF.
int32_t CreatePictureEMF(forms::PictureBox& box, const std::string& fileName);
// Ends the recording, which writes the file, and frees the metafile handle. False when the
// file could not be written.
bool CloseEMF(int32_t dc);
// Ends the recording as CloseEMF does, then clears the clipboard and puts the metafile on it
// with the picture it holds. False (and the clipboard left empty) when the file could not be
// written.
bool CloseEMFToClipboard(int32_t dc);

}  // namespace qv
