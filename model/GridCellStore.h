#pragma once
// The cells of one sheet's grid: texts, captions, lock flags, marks and combo lists, with the
// row and column counts. Cells are addressed (column, row); row 0 holds the column captions and
// column 0 the row captions, data starts at (1, 1); -1 in a range means every line.
//
// As an item model it shows the data cells; row 0 and column 0 are its header data.
// Programmatic writes raise no change event; an edit through the view (setData) raises
// cellEdited, the grid's change event.

#include "model/LevelExtras.h"
#include "model/TextTable.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>

#include <functional>
#include <vector>

class GridCellStore : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kAll = -1;
    // What one shown cell costs the store, for callers that must refuse huge sheets.
    static constexpr std::size_t kBytesPerCell = sizeof(QString);

    explicit GridCellStore(QObject* parent = nullptr);

    // Counts. Raising a count adds empty lines at the end; lowering it drops the last
    // lines with their texts, captions and cell settings.
    int maxRows() const { return mRows; }
    int maxCols() const { return mCols; }
    void setMaxRows(int rows);
    void setMaxCols(int cols);

    // Cell texts, captions included. Outside the grid a read gives "" and a write does nothing.
    QString text(int col, int row) const;
    void setText(int col, int row, const QString& text);

    // Block of numRows x numCols texts from (col, row), as a table indexed 1..numRows x 1..numCols.
    TextTable readBlock(int col, int row, int numRows, int numCols) const;
    // Writes every cell of the table, its first row and column going to (col, row).
    void writeBlock(int col, int row, const TextTable& block);

    // Removes the texts of the data cells in the range; -1 for c1 or r1 means every column or row.
    void clearRange(int c1, int r1, int c2, int r2);
    // Later lines close the gap; the counts stay as they are.
    void deleteRows(int firstRow, int count);
    void deleteCols(int firstCol, int count);

    // Lock flags; (-1, -1) sets every cell. Locked cells refuse edits while protection is on.
    void setLocked(int col, int row, bool locked);
    bool isLocked(int col, int row) const;
    void setProtect(bool on);
    bool protect() const { return mProtect; }
    bool isEditable(int col, int row) const { return !(mProtect && isLocked(col, row)); }

    // Marks on data cells (on the Factors and Levels sheet: an invalid level). A mark belongs to
    // the cell's text: it moves with the cell when lines are deleted, and goes when the text is
    // cleared or edited away.
    void setMarked(int col, int row, bool marked);
    bool isMarked(int col, int row) const;
    // A level's weight and other names (on the Factors and Levels sheet), kept with the cell as
    // its mark is.
    void setLevelExtras(int col, int row, const LevelExtras& extras);
    LevelExtras levelExtras(int col, int row) const;
    // The cell's text as the sheet shows and prints it: a marked one after a "~", a level's
    // other names and weight after it.
    QString shownText(int col, int row) const;
    // The text a cell's editor starts from: by default the cell's text.
    void setEditText(std::function<QString(int col, int row)> editText) { mEditText = std::move(editText); }

    // Combo cells: a drop-down whose items are the tab-separated list.
    void setComboCell(int col, int row, const QString& tabSeparatedItems);
    bool isComboCell(int col, int row) const;
    QString comboList(int col, int row) const;
    QStringList comboItems(int col, int row) const;
    // Position of the cell's text in its list, first item 0; -1 when absent.
    int comboIndex(int col, int row) const;

    // Everything the store holds, to be put back whole later (Undo). Copies share their texts.
    struct State;
    State state() const;
    void restore(const State& state);
    // Puts `other` in the store and what the store held in `other`, without copying either.
    void exchange(State& other);

    // A user's edit of a data cell, as the view reports it: stores the text and raises cellEdited.
    bool editCell(int col, int row, const QString& text);

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void cellEdited(int col, int row);

private:
    struct CellSettings {
        bool combo = false;
        bool lockSet = false;
        bool locked = false;
        bool marked = false;
        LevelExtras extras;
        QString comboList;
        friend bool operator==(const CellSettings&, const CellSettings&) = default;
    };

public:
    struct State {
        int rows = 0, cols = 0;
        std::vector<QString> texts{1};
        QHash<quint64, CellSettings> settings;
        bool allLocked = false, protect = false;
        friend bool operator==(const State&, const State&) = default;
    };

private:
    static quint64 key(int col, int row) { return (quint64(quint32(col)) << 32) | quint32(row); }
    bool inside(int col, int row) const { return col >= 0 && row >= 0 && col <= mCols && row <= mRows; }
    std::size_t offset(int col, int row) const { return std::size_t(row) * std::size_t(mCols + 1) + std::size_t(col); }
    void resize(int cols, int rows);
    void notifyChanged(int c1, int r1, int c2, int r2);
    const CellSettings* settings(int col, int row) const;
    // Changes a data cell's mark or level extras: how it looks, not its text.
    void changeLook(int col, int row, const std::function<void(CellSettings&)>& change);
    // Drops the mark and the level extras of a cell whose text goes.
    void dropMark(int col, int row);

    int mRows = 0;
    int mCols = 0;
    std::vector<QString> mTexts;  // (mRows + 1) x (mCols + 1), row-major, captions included
    QHash<quint64, CellSettings> mSettings;
    bool mAllLocked = false;
    bool mProtect = false;
    std::function<QString(int, int)> mEditText;
};
