#pragma once
// Divides a parent picture box into Row x Col equal cells and sizes one control per cell; the
// picture box follows the parent form as an anchored one does.
#include <cstdint>
#include <vector>

#include "app/camera/LayoutParents.h"

namespace qv {

class CTile : public LayoutParents {
public:
    // Setting either count empties the cell store, which then holds 0..Row by 0..Col; a
    // negative count raises error 9 and changes nothing.
    int32_t Col() const { return col_; }
    void setCol(int32_t n);
    int32_t Row() const { return row_; }
    void setRow(int32_t n);
    // Error 9 for a cell outside the store.
    void SetChildControl(int32_t row, int32_t col, forms::Control& control);

    void MpbxParent_Resize() override;

private:
    void redim(int32_t rows, int32_t cols);
    forms::Control*& cell(int32_t row, int32_t col);
    int32_t row_ = 0, col_ = 0;
    // (row_ + 1) x (col_ + 1) cells, row-major; null for an empty cell.
    std::vector<forms::Control*> cells_ = std::vector<forms::Control*>(1, nullptr);
};

}  // namespace qv
