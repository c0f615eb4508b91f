#pragma once
// What a grid tells the window that owns it. Cells are addressed (column, row) as in the
// cell store; 0 is the caption row or column.

class GridEvents {
public:
    virtual ~GridEvents() = default;

    // After the user finished editing a cell.
    virtual void Grid_Change(int /*col*/, int /*row*/) {}
    // A mouse click on a cell or a caption.
    virtual void Grid_Click(int /*col*/, int /*row*/) {}
    // A character key (its code: 13 Enter, 8 Backspace, or the character). Setting the code
    // to 0 discards the key.
    virtual void Grid_KeyPress(int& /*keyCode*/) {}
    // A right click on the grid.
    virtual void Grid_RightClick() {}
    // Before a drop-down list opens; the handler may change the cell's list.
    virtual void Grid_ComboDropDown(int /*col*/, int /*row*/) {}
    // After the user chose an item of a drop-down list.
    virtual void Grid_ComboSelChange(int /*col*/, int /*row*/) {}
};
