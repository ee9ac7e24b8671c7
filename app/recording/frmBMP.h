#pragma once
// The bitmap viewer: loads a BMP file into a picture box with its own depth and colour table,
// shows its size, inverts its bytes, prints a line of text on it and saves it again. A lower
// level path reads the file's headers and pixel words itself and draws them stretched.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/forms/Form.h"
#include "platform/gdi/GdiTypes.h"

namespace qv {

struct BITMAPFILEHEADER {
    uint16_t bfType = 0;
    uint32_t bfSize = 0;
    uint16_t bfReserved1 = 0;
    uint16_t bfReserved2 = 0;
    uint32_t bfOffBits = 0;
};

// The info header with room for 1000 colour-table entries (bit-field masks in the first three).
struct BITMAPINFO_1000 {
    gdi::BITMAPINFOHEADER bmiHeader;
    gdi::RGBQUAD bmiColors[1000] = {};
};

// The records of one BMP file as the lower-level path keeps them.
struct DIBFileRecords {
    BITMAPFILEHEADER fileHeader;
    BITMAPINFO_1000 info;
    std::vector<int32_t> pixels;  // the pixel rows as 32-bit words, from bfOffBits
};
// Reads the records from the file's bytes. A file that would make the reader or the drawing go
// outside its data raises run-time error 321: an unknown or compressed layout, a colour table
// of more than 1000 entries, or fewer than stride x |height| pixel bytes from bfOffBits.
DIBFileRecords parseDIBFile(std::span<const uint8_t> bytes);

// A bare file name (no folder) names a file in the program folder; other names are kept.
std::string InProgramFolder(const std::string& name);

// Runs a bitmap window's file step; a file it cannot read or write is refused with a message
// that names the button, the file and the error's number, and false comes back.
bool BitmapFileStep(const std::string& button, const std::string& file, const std::function<void()>& step);

class frmBMP : public forms::Form {
public:
    static frmBMP& instance();
    frmBMP();

    forms::TextBox& txtFileName;
    forms::CommandButton& cmdLoadBMP;
    forms::TextBox& txtBMPWd;
    forms::TextBox& txtBMPHi;
    forms::TextBox& txtBit;
    forms::PictureBox& Picture1;
    forms::CommandButton& cmd反転;
    forms::TextBox& txt文字列;
    forms::CommandButton& cmd文字列出力;
    forms::TextBox& txtSaveFileName;
    forms::CommandButton& cmdSaveBMP;
    forms::TextBox& txtbfType;
    forms::TextBox& txtbfSize;
    forms::TextBox& txtbfReserved1;
    forms::TextBox& txtbfReserved2;
    forms::TextBox& txtbfOffBits;
    forms::TextBox& txtbiSize;
    forms::TextBox& txtbiWidth;
    forms::TextBox& txtbiHeight;
    forms::TextBox& txtbiPlanes;
    forms::TextBox& txtbiBitCount;
    forms::TextBox& txtbiCompression;
    forms::TextBox& txtbiSizeImage;
    forms::TextBox& txtbiXPelsPerMeter;
    forms::TextBox& txtbiYPelsPerMeter;
    forms::TextBox& txtbiClrUsed;
    forms::TextBox& txtbiClrImportant;
    forms::TextBox& txtrgbBlue;
    forms::TextBox& txtrgbGreen;
    forms::TextBox& txtrgbRed;
    forms::TextBox& txtrgbReserved;

    // Puts the name into txtFileName (which sets the save name) and loads it.
    void LoadBMP(const std::string& fileName);
    // Draws the held info record with these pixel words stretched over the whole box.
    void DispBMP(forms::PictureBox& picture, const std::vector<int32_t>& pixels);
    void GetDIB(std::vector<int32_t>& pixels) const;
    BITMAPFILEHEADER FileHeader() const { return fileHeader_; }
    BITMAPINFO_1000 BitmapInfo() const { return info_; }
    // Reads the file named in txtFileName into the held records, draws it on Picture1 and
    // shows the header fields. A refused file raises an error and changes nothing.
    void ReadDIBFile();

    // The loaded bitmap's description and bytes (rows top-down, bmWidthBytes each).
    const gdi::BITMAP& bitmapRecord() const { return bmp_; }
    const std::vector<uint8_t>& bitmapBytes() const { return bmpBits_; }
    int32_t hDrawDib() const { return hDrawDib_; }

    // The user's load: a file that does not load is refused with a message.
    void cmdLoadBMP_Click();
    void cmd反転_Click();
    void cmd文字列出力_Click();
    void cmdSaveBMP_Click();
    void txtFileName_Change();
    void Form_Load();
    void Form_Unload(int& Cancel);

    static const forms::FormDesign& design();   // the window as designed

private:
    void load();  // the load of the file in txtFileName; a refused file raises its error

    gdi::BITMAP bmp_{};
    std::vector<uint8_t> bmpBits_;
    int32_t hDrawDib_ = 0;
    BITMAPFILEHEADER fileHeader_;
    BITMAPINFO_1000 info_;
    std::vector<int32_t> dibBits_;
};

}  // namespace qv
