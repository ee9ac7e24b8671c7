#include "app/camera/CTile.h"

#include "platform/basic/RuntimeError.h"

namespace qv {

void CTile::redim(int32_t rows, int32_t cols) {
    if (rows < 0 || cols < 0) basic::raiseError(basic::errSubscript);
    row_ = rows;
    col_ = cols;
    cells_.assign((static_cast<size_t>(rows) + 1) * (static_cast<size_t>(cols) + 1), nullptr);
}

forms::Control*& CTile::cell(int32_t row, int32_t col) {
    return cells_[static_cast<size_t>(row) * (static_cast<size_t>(col_) + 1) + static_cast<size_t>(col)];
}

void CTile::setRow(int32_t n) { redim(n, col_); }
void CTile::setCol(int32_t n) { redim(row_, n); }

void CTile::SetChildControl(int32_t row, int32_t col, forms::Control& control) {
    if (row < 0 || row > row_ || col < 0 || col > col_) basic::raiseError(basic::errSubscript);
    cell(row, col) = &control;
}

// The cells share the picture box's outer size, used directly as the children's coordinates.
void CTile::MpbxParent_Resize() {
    forms::PictureBox* box = ParentPicture();
    if (!box || row_ <= 0 || col_ <= 0) return;
    const float cellWidth = static_cast<float>(box->Width() / col_);
    const float cellHeight = static_cast<float>(box->Height() / row_);
    for (int32_t r = 0; r < row_; ++r)
        for (int32_t c = 0; c < col_; ++c) {
            forms::Control* child = cell(r, c);
            if (!child) continue;
            child->set("Top", static_cast<double>(cellHeight) * r);
            child->set("Left", static_cast<double>(cellWidth) * c);
            child->set("Width", static_cast<double>(cellWidth));
            child->set("Height", static_cast<double>(cellHeight));
        }
}

}  // namespace qv
