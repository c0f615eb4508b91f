#include "model/GridCellStore.h"

#include <algorithm>
#include <utility>

GridCellStore::GridCellStore(QObject* parent) : QAbstractTableModel(parent), mTexts(1) {}

void GridCellStore::resize(int cols, int rows)
{
    std::vector<QString> texts(std::size_t(rows + 1) * std::size_t(cols + 1));
    const int keepRows = std::min(rows, mRows);
    const int keepCols = std::min(cols, mCols);
    for (int r = 0; r <= keepRows; ++r)
        for (int c = 0; c <= keepCols; ++c)
            texts[std::size_t(r) * std::size_t(cols + 1) + std::size_t(c)] = std::move(mTexts[offset(c, r)]);
    mTexts = std::move(texts);
    mRows = rows;
    mCols = cols;
    for (auto it = mSettings.begin(); it != mSettings.end();) {
        const int c = int(it.key() >> 32), r = int(it.key() & 0xffffffffu);
        it = (c > cols || r > rows) ? mSettings.erase(it) : std::next(it);
    }
}

void GridCellStore::setMaxRows(int rows)
{
    rows = std::max(0, rows);
    if (rows == mRows)
        return;
    if (rows > mRows) {
        beginInsertRows({}, mRows, rows - 1);
        resize(mCols, rows);
        endInsertRows();
    } else {
        beginRemoveRows({}, rows, mRows - 1);
        resize(mCols, rows);
        endRemoveRows();
    }
}

void GridCellStore::setMaxCols(int cols)
{
    cols = std::max(0, cols);
    if (cols == mCols)
        return;
    if (cols > mCols) {
        beginInsertColumns({}, mCols, cols - 1);
        resize(cols, mRows);
        endInsertColumns();
    } else {
        beginRemoveColumns({}, cols, mCols - 1);
        resize(cols, mRows);
        endRemoveColumns();
    }
}

QString GridCellStore::text(int col, int row) const
{
    return inside(col, row) ? mTexts[offset(col, row)] : QString();
}

void GridCellStore::setText(int col, int row, const QString& text)
{
    if (!inside(col, row))
        return;
    QString& cell = mTexts[offset(col, row)];
    if (cell == text)
        return;
    cell = text;
    notifyChanged(col, row, col, row);
}

TextTable GridCellStore::readBlock(int col, int row, int numRows, int numCols) const
{
    TextTable block(1, numRows, 1, numCols);
    for (int r = 1; r <= numRows; ++r)
        for (int c = 1; c <= numCols; ++c)
            block(r, c) = text(col + c - 1, row + r - 1);
    return block;
}

void GridCellStore::writeBlock(int col, int row, const TextTable& block)
{
    if (!block.isDimensioned() || block.rowCount() <= 0 || block.colCount() <= 0)
        return;
    for (int r = block.rowLower(); r <= block.rowUpper(); ++r) {
        const int sheetRow = row + r - block.rowLower();
        if (sheetRow > mRows)
            break;
        for (int c = block.colLower(); c <= block.colUpper(); ++c) {
            const int sheetCol = col + c - block.colLower();
            if (inside(sheetCol, sheetRow))
                mTexts[offset(sheetCol, sheetRow)] = block.at(r, c);
        }
    }
    notifyChanged(col, row, col + block.colCount() - 1, row + block.rowCount() - 1);
}

void GridCellStore::clearRange(int c1, int r1, int c2, int r2)
{
    if (c1 == kAll) {
        c1 = 1;
        c2 = mCols;
    }
    if (r1 == kAll) {
        r1 = 1;
        r2 = mRows;
    }
    c1 = std::max(c1, 1);
    r1 = std::max(r1, 1);
    c2 = std::min(c2, mCols);
    r2 = std::min(r2, mRows);
    if (c1 > c2 || r1 > r2)
        return;
    for (int r = r1; r <= r2; ++r)
        for (int c = c1; c <= c2; ++c)
            mTexts[offset(c, r)].clear();
    // The marks of the cleared texts go with them; the few cells with settings are looked at,
    // not every cell of the range.
    for (auto it = mSettings.begin(); it != mSettings.end();) {
        const int c = int(it.key() >> 32), r = int(it.key() & 0xffffffffu);
        const bool dropped = (it->marked || !it->extras.Empty()) && c >= c1 && c <= c2 && r >= r1 && r <= r2;
        if (dropped) {
            it->marked = false;
            it->extras = {};
        }
        it = dropped && *it == CellSettings{} ? mSettings.erase(it) : std::next(it);
    }
    notifyChanged(c1, r1, c2, r2);
}

void GridCellStore::deleteRows(int firstRow, int count)
{
    firstRow = std::max(firstRow, 1);
    count = std::min(count, mRows - firstRow + 1);
    if (count <= 0)
        return;
    for (int r = firstRow; r <= mRows; ++r)
        for (int c = 0; c <= mCols; ++c)
            mTexts[offset(c, r)] = r + count <= mRows ? std::move(mTexts[offset(c, r + count)]) : QString();
    QHash<quint64, CellSettings> moved;
    for (auto it = mSettings.cbegin(); it != mSettings.cend(); ++it) {
        const int c = int(it.key() >> 32), r = int(it.key() & 0xffffffffu);
        if (r < firstRow)
            moved.insert(it.key(), it.value());
        else if (r >= firstRow + count)
            moved.insert(key(c, r - count), it.value());
    }
    mSettings = std::move(moved);
    notifyChanged(0, firstRow, mCols, mRows);
}

void GridCellStore::deleteCols(int firstCol, int count)
{
    firstCol = std::max(firstCol, 1);
    count = std::min(count, mCols - firstCol + 1);
    if (count <= 0)
        return;
    for (int r = 0; r <= mRows; ++r)
        for (int c = firstCol; c <= mCols; ++c)
            mTexts[offset(c, r)] = c + count <= mCols ? std::move(mTexts[offset(c + count, r)]) : QString();
    QHash<quint64, CellSettings> moved;
    for (auto it = mSettings.cbegin(); it != mSettings.cend(); ++it) {
        const int c = int(it.key() >> 32), r = int(it.key() & 0xffffffffu);
        if (c < firstCol)
            moved.insert(it.key(), it.value());
        else if (c >= firstCol + count)
            moved.insert(key(c - count, r), it.value());
    }
    mSettings = std::move(moved);
    notifyChanged(firstCol, 0, mCols, mRows);
}

void GridCellStore::setLocked(int col, int row, bool locked)
{
    if (col == kAll && row == kAll) {
        mAllLocked = locked;
        for (CellSettings& s : mSettings)
            s.lockSet = false;
    } else if (col == kAll || row == kAll) {
        const int c1 = col == kAll ? 1 : col, c2 = col == kAll ? mCols : col;
        const int r1 = row == kAll ? 1 : row, r2 = row == kAll ? mRows : row;
        for (int r = r1; r <= r2; ++r)
            for (int c = c1; c <= c2; ++c)
                setLocked(c, r, locked);
        return;
    } else if (inside(col, row)) {
        CellSettings& s = mSettings[key(col, row)];
        s.lockSet = true;
        s.locked = locked;
    }
    if (mRows > 0 && mCols > 0)
        emit dataChanged(index(0, 0), index(mRows - 1, mCols - 1), {});
}

bool GridCellStore::isLocked(int col, int row) const
{
    const CellSettings* s = settings(col, row);
    return s && s->lockSet ? s->locked : mAllLocked;
}

void GridCellStore::setProtect(bool on)
{
    mProtect = on;
    if (mRows > 0 && mCols > 0)
        emit dataChanged(index(0, 0), index(mRows - 1, mCols - 1), {});
}

void GridCellStore::setMarked(int col, int row, bool marked)
{
    if (isMarked(col, row) != marked)
        changeLook(col, row, [marked](CellSettings& s) { s.marked = marked; });
}

bool GridCellStore::isMarked(int col, int row) const
{
    const CellSettings* s = settings(col, row);
    return s && s->marked;
}

void GridCellStore::setLevelExtras(int col, int row, const LevelExtras& extras)
{
    if (!(levelExtras(col, row) == extras))
        changeLook(col, row, [&extras](CellSettings& s) { s.extras = extras; });
}

void GridCellStore::changeLook(int col, int row, const std::function<void(CellSettings&)>& change)
{
    if (col < 1 || row < 1 || !inside(col, row))
        return;
    CellSettings& s = mSettings[key(col, row)];
    change(s);
    if (s == CellSettings{})
        mSettings.remove(key(col, row));  // so that a cell changed back equals the one before
    // The cell looks different; its text is the same.
    emit dataChanged(index(row - 1, col - 1), index(row - 1, col - 1), {});
}

LevelExtras GridCellStore::levelExtras(int col, int row) const
{
    const CellSettings* s = settings(col, row);
    return s ? s->extras : LevelExtras{};
}

QString GridCellStore::shownText(int col, int row) const
{
    const CellSettings* s = settings(col, row);
    if (!s)
        return text(col, row);
    return (s->marked ? QStringLiteral("~") : QString()) + text(col, row) + s->extras.Suffix();
}

void GridCellStore::dropMark(int col, int row)
{
    // An entry left with nothing set goes, so that a store unmarked again equals the one before.
    auto it = mSettings.find(key(col, row));
    if (it == mSettings.end() || (!it->marked && it->extras.Empty()))
        return;
    it->marked = false;
    it->extras = {};
    if (*it == CellSettings{})
        mSettings.erase(it);
}

void GridCellStore::setComboCell(int col, int row, const QString& tabSeparatedItems)
{
    if (!inside(col, row))
        return;
    CellSettings& s = mSettings[key(col, row)];
    s.combo = true;
    s.comboList = tabSeparatedItems;
}

bool GridCellStore::isComboCell(int col, int row) const
{
    const CellSettings* s = settings(col, row);
    return s && s->combo;
}

QString GridCellStore::comboList(int col, int row) const
{
    const CellSettings* s = settings(col, row);
    return s && s->combo ? s->comboList : QString();
}

QStringList GridCellStore::comboItems(int col, int row) const
{
    return isComboCell(col, row) ? comboList(col, row).split(QLatin1Char('\t')) : QStringList();
}

int GridCellStore::comboIndex(int col, int row) const
{
    if (!isComboCell(col, row))
        return -1;
    return int(comboItems(col, row).indexOf(text(col, row)));
}

bool GridCellStore::editCell(int col, int row, const QString& text)
{
    if (col < 1 || row < 1 || !inside(col, row) || !isEditable(col, row))
        return false;
    QString& cell = mTexts[offset(col, row)];
    if (cell != text) {
        cell = text;
        if (text.isEmpty())
            dropMark(col, row);
        notifyChanged(col, row, col, row);
    }
    emit cellEdited(col, row);
    return true;
}

const GridCellStore::CellSettings* GridCellStore::settings(int col, int row) const
{
    auto it = mSettings.constFind(key(col, row));
    return it == mSettings.cend() ? nullptr : &it.value();
}

void GridCellStore::notifyChanged(int c1, int r1, int c2, int r2)
{
    if (r1 == 0 && c2 >= 1)
        emit headerDataChanged(Qt::Horizontal, std::max(c1, 1) - 1, std::min(c2, mCols) - 1);
    if (c1 == 0 && r2 >= 1)
        emit headerDataChanged(Qt::Vertical, std::max(r1, 1) - 1, std::min(r2, mRows) - 1);
    c1 = std::max(c1, 1);
    r1 = std::max(r1, 1);
    c2 = std::min(c2, mCols);
    r2 = std::min(r2, mRows);
    if (c1 <= c2 && r1 <= r2)
        emit dataChanged(index(r1 - 1, c1 - 1), index(r2 - 1, c2 - 1), {Qt::DisplayRole, Qt::EditRole});
}

int GridCellStore::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : mRows; }

int GridCellStore::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : mCols; }

QVariant GridCellStore::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    if (role == Qt::EditRole && mEditText)
        return mEditText(index.column() + 1, index.row() + 1);
    return text(index.column() + 1, index.row() + 1);
}

bool GridCellStore::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    return editCell(index.column() + 1, index.row() + 1, value.toString());
}

Qt::ItemFlags GridCellStore::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isEditable(index.column() + 1, index.row() + 1))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant GridCellStore::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0)
        return {};
    return orientation == Qt::Horizontal ? text(section + 1, 0) : text(0, section + 1);
}

GridCellStore::State GridCellStore::state() const
{
    return {mRows, mCols, mTexts, mSettings, mAllLocked, mProtect};
}

void GridCellStore::exchange(State& other)
{
    beginResetModel();
    std::swap(mRows, other.rows);
    std::swap(mCols, other.cols);
    mTexts.swap(other.texts);
    mSettings.swap(other.settings);
    std::swap(mAllLocked, other.allLocked);
    std::swap(mProtect, other.protect);
    endResetModel();
}

void GridCellStore::restore(const State& state)
{
    beginResetModel();
    mRows = state.rows;
    mCols = state.cols;
    mTexts = state.texts;
    mSettings = state.settings;
    mAllLocked = state.allLocked;
    mProtect = state.protect;
    endResetModel();
}
