#pragma once
// The grid a sheet window shows: a table view over one cell store. The store's row 0 and
// column 0 are the header captions, the store's (0, 0) caption shows in the corner. The view
// adds the selection, the active cell, sizing to text, fonts and the line under a row,
// drop-down lists for combo cells, and raises the grid events to the owning window.
//
// Everything here is addressed (column, row) in sheet terms: data starts at (1, 1).

#include "model/GridCellStore.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QTableView>

#include <functional>

class ComboCellDelegate;
class GridEvents;
class QAbstractButton;

// A rectangle of marked cells, in sheet terms.
struct GridBlock {
    int col1 = 0, row1 = 0, col2 = 0, row2 = 0;
    friend bool operator==(const GridBlock&, const GridBlock&) = default;
};

class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(GridCellStore& store, QWidget* parent = nullptr);
    ~GridView() override;

    GridCellStore* store() const { return mStore; }
    void setEventHandler(GridEvents* handler) { mEvents = handler; }

    // The block the user marked last (the active cell when nothing is marked).
    GridBlock selectedBlock() const;
    int firstSelectedRow() const { return selectedBlock().row1; }
    int lastSelectedRow() const { return selectedBlock().row2; }
    int firstSelectedCol() const { return selectedBlock().col1; }
    int lastSelectedCol() const { return selectedBlock().col2; }
    // Every marked block, oldest first; empty when nothing is marked.
    QList<GridBlock> selectedBlocks() const;
    // Marks a block (replacing the marks); it becomes the active cell's block.
    void selectBlock(int col1, int row1, int col2, int row2);

    // Which cells can carry a mark of the store (on the Factors and Levels sheet: levels);
    // none by default.
    void setMarkable(std::function<bool(int col, int row)> markable) { mMarkable = std::move(markable); }
    bool isMarkable(int col, int row) const { return mMarkable && mMarkable(col, row); }

    // The clipboard, as tab-separated rows (the text a spreadsheet program copies and
    // pastes), with the cells' marks beside it for this program. Copy takes the block
    // selected last (the active cell when nothing is selected).
    void copyToClipboard() const;
    // Copies the block, then clears its texts (and with them their marks).
    void cutToClipboard();
    // Writes the clipboard's rows from the top-left cell of the selected block on, row by row,
    // each cell as if the user had typed it there: the sheet grows by its own rules and
    // raises its change events. Cells copied here carry their marks along where a cell can
    // carry one. Returns how many cells fell outside the sheet and were left out.
    int pasteFromClipboard();
    // Clears the texts of a block (captions, lock flags and lists stay).
    void clearBlockTexts(const GridBlock& block);

    // The cursor; 0 when there is none.
    void setActiveCell(int col, int row);
    int activeCol() const;
    int activeRow() const;

    // Sizing, in pixels. Column 0 is the row captions, row 0 the column captions.
    int widestTextWidth(int col) const;
    int tallestTextHeight(int row) const;
    int sheetColWidth(int col) const;
    int sheetRowHeight(int row) const;
    void setSheetColWidth(int col, int width);
    void setSheetRowHeight(int row, int height);
    void fitColToText(int col) { setSheetColWidth(col, widestTextWidth(col)); }
    void fitRowToText(int row) { setSheetRowHeight(row, tallestTextHeight(row)); }
    // Only ever larger.
    void widenColToText(int col);
    void heightenRowToText(int row);

    // How a cell is drawn: its shown text, its font, and its text colour (invalid: the
    // palette's). A marked cell shows its "~" in italics and a muted red.
    struct CellLook {
        QString text;
        QFont font;
        QColor color;
    };
    CellLook cellLook(int col, int row) const;

    // Fonts per row (row 0: the column captions) and one line under a row.
    QFont scaledBoldFont(double scale) const;
    void setRowFont(int row, const QFont& font);
    QFont rowFont(int row) const;
    void setRowBottomLine(int row, int col1, int col2);
    bool hasBottomLine(int col, int row) const;

    // A line shown under the cells while every data cell is empty, telling what to do first.
    void setEmptyHint(const QString& hint);
    bool isEmptySheet() const;

    // Repaint switch.
    void setRedraw(bool on) { setUpdatesEnabled(on); }

    // Acts on the grid as if the key had been pressed: an open editor finishes first.
    void sendKey(int qtKey);
    // The editor open on the active cell, if any.
    QWidget* activeEditor() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class ComboCellDelegate;
    // Raises Grid_KeyPress; returns the code the handler left (0: discard the key).
    int raiseKeyPress(int keyCode);
    void raiseChange(int col, int row);
    void raiseClick(int col, int row);
    void raiseComboDropDown(int col, int row);
    void raiseComboSelChange(int col, int row);
    static int CharacterKeyCode(const QKeyEvent* event);
    void paintCorner();

    QFont cellFont(int col, int row) const;
    int textWidth(const QString& text, const QFont& font) const;
    int textHeight(const QString& text, const QFont& font) const;

    QPointer<GridCellStore> mStore;
    GridEvents* mEvents = nullptr;
    ComboCellDelegate* mDelegate = nullptr;
    QAbstractButton* mCorner = nullptr;
    QHash<int, QFont> mRowFonts;
    int mLineRow = -1, mLineCol1 = 0, mLineCol2 = 0;
    QPoint mCellBeforeReset;
    QString mEmptyHint;
    std::function<bool(int col, int row)> mMarkable;
};
