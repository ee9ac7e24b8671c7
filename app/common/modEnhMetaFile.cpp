#include "app/common/modEnhMetaFile.h"

#include "platform/basic/Numbers.h"
#include "platform/forms/Clipboard.h"
#include "platform/forms/Controls.h"
#include "platform/gdi/Gdi.h"
#include "platform/kernel/Encoding.h"

namespace qv {

int32_t CreatePictureEMF(forms::PictureBox& box, const std::string& fileName) {
    const gdi::HDC boxDc = box.hDC();
    const int horzRes = gdi::GetDeviceCaps(boxDc, gdi::HORZRES);
    const int vertRes = gdi::GetDeviceCaps(boxDc, gdi::VERTRES);
    if (horzRes <= 0 || vertRes <= 0) return 0;
    const double mmPerPixelX = static_cast<double>(gdi::GetDeviceCaps(boxDc, gdi::HORZSIZE)) / horzRes;
    const double mmPerPixelY = static_cast<double>(gdi::GetDeviceCaps(boxDc, gdi::VERTSIZE)) / vertRes;
    const forms::PixelRect size = box.outerRect();
    gdi::RECT frame{};
    frame.right = basic::CLng(size.width() * mmPerPixelX * 100.0);
    frame.bottom = basic::CLng(size.height() * mmPerPixelY * 100.0);
    // The recorder ends the description with its two terminating NULs.
    return gdi::CreateEnhMetaFileA(0, kernel::utf8ToCp932(fileName).c_str(), &frame, "TEST");
}

bool CloseEMF(int32_t dc) {
    const gdi::HENHMETAFILE emf = gdi::CloseEnhMetaFile(dc);
    if (emf == 0) return false;
    gdi::DeleteEnhMetaFile(emf);
    return true;
}

bool CloseEMFToClipboard(int32_t dc) {
    forms::Clipboard.Clear();
    const gdi::HENHMETAFILE emf = gdi::CloseEnhMetaFile(dc);
    if (emf == 0) return false;
    std::vector<uint8_t> bytes(gdi::GetEnhMetaFileBits(emf, 0, nullptr));
    gdi::GetEnhMetaFileBits(emf, static_cast<uint32_t>(bytes.size()), bytes.data());
    forms::Clipboard.SetMetafile(std::move(bytes), gdi::enhMetaFileSurface(emf));
    gdi::DeleteEnhMetaFile(emf);
    return true;
}

}  // namespace qv
