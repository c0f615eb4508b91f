#include "sheets/GridView.h"

#include "files/DelimitedLine.h"
#include "sheets/ComboCellDelegate.h"
#include "sheets/GridEvents.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QSet>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <QToolTip>

#include <algorithm>

namespace {
constexpr int kMaxTypedWidth = 320;  // a column fits typed text up to this; a tooltip shows the rest
constexpr int kTextPaddingX = 12;  // room for the cell margins
constexpr int kComboArrowWidth = 16;
constexpr int kTextPaddingY = 6;
const QColor kMarkedTextColor(165, 55, 55);  // a muted red, readable on white and on grey
}  // namespace

GridView::GridView(GridCellStore& store, QWidget* parent) : QTableView(parent), mStore(&store)
{
    setModel(&store);
    mDelegate = new ComboCellDelegate(*this);
    setItemDelegate(mDelegate);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectItems);
    setWordWrap(false);
    horizontalHeader()->setSectionsClickable(true);
    verticalHeader()->setSectionsClickable(true);

    connect(&store, &GridCellStore::cellEdited, this, &GridView::raiseChange);
    // The hint under an empty sheet goes with its first text (which repaints only its cell).
    connect(&store, &QAbstractItemModel::dataChanged, this, [this] {
        if (!mEmptyHint.isEmpty())
            viewport()->update();
    });
    // A store put back whole (Undo) keeps the cursor where it was, as far as the cell is left.
    connect(&store, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { mCellBeforeReset = {activeCol(), activeRow()}; });
    connect(&store, &QAbstractItemModel::modelReset, this, [this] {
        if (mStore && mCellBeforeReset.x() > 0)
            setActiveCell(std::min(mCellBeforeReset.x(), mStore->maxCols()),
                          std::min(mCellBeforeReset.y(), mStore->maxRows()));
    });
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { raiseClick(index.column() + 1, index.row() + 1); });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) { raiseClick(section + 1, 0); });
    connect(verticalHeader(), &QHeaderView::sectionClicked, this, [this](int section) { raiseClick(0, section + 1); });

    // The corner shows the caption of (0, 0).
    mCorner = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (mCorner)
        mCorner->installEventFilter(this);
}

GridView::~GridView() = default;

// --- events -------------------------------------------------------------------------------

int GridView::CharacterKeyCode(const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return 0;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return 13;
    const QString text = event->text();
    if (text.isEmpty())
        return 0;
    const char16_t ch = text.at(0).unicode();
    if (ch == 8)
        return 8;
    if (ch < 32 || ch == 127)  // Tab, Escape, Delete and the like move or cancel, they type nothing
        return 0;
    return int(ch);
}

int GridView::raiseKeyPress(int keyCode)
{
    if (mEvents)
        mEvents->Grid_KeyPress(keyCode);
    return keyCode;
}

void GridView::raiseChange(int col, int row)
{
    if (mEvents)
        mEvents->Grid_Change(col, row);
    // The column follows what is typed into it, up to a sensible width.
    const int width = std::min(widestTextWidth(col), kMaxTypedWidth);
    if (width > sheetColWidth(col))
        setSheetColWidth(col, width);
}

void GridView::raiseClick(int col, int row)
{
    if (mEvents)
        mEvents->Grid_Click(col, row);
}

void GridView::raiseComboDropDown(int col, int row)
{
    if (mEvents)
        mEvents->Grid_ComboDropDown(col, row);
}

void GridView::raiseComboSelChange(int col, int row)
{
    if (mEvents)
        mEvents->Grid_ComboSelChange(col, row);
}

void GridView::keyPressEvent(QKeyEvent* event)
{
    // Any other code than 0 lets the key pass as it was.
    const int code = CharacterKeyCode(event);
    if (code != 0 && raiseKeyPress(code) == 0) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool GridView::viewportEvent(QEvent* event)
{
    // A text wider or taller than its cell (more lines than the row shows) shows whole in a tooltip.
    if (event->type() == QEvent::ToolTip && mStore) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const int col = index.column() + 1, row = index.row() + 1;
        const QString text = index.isValid() ? mStore->text(col, row) : QString();
        const QFont font = cellFont(col, row);
        if (!text.isEmpty() &&
            (textWidth(text, font) > sheetColWidth(col) || textHeight(text, font) > sheetRowHeight(row)))
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    return QTableView::viewportEvent(event);
}

void GridView::setEmptyHint(const QString& hint)
{
    mEmptyHint = hint;
    viewport()->update();
}

bool GridView::isEmptySheet() const
{
    if (!mStore)
        return true;
    for (int row = 1; row <= mStore->maxRows(); ++row)
        for (int col = 1; col <= mStore->maxCols(); ++col)
            if (!mStore->text(col, row).isEmpty())
                return false;
    return true;
}

void GridView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (mEmptyHint.isEmpty() || !mStore || !isEmptySheet())
        return;
    const int rows = model()->rowCount();
    const int top = rows > 0 ? rowViewportPosition(rows - 1) + rowHeight(rows - 1) : 0;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(viewport()->rect().adjusted(kTextPaddingX, top + kTextPaddingX, -kTextPaddingX, 0),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, mEmptyHint);
}

void GridView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (mEvents)
        mEvents->Grid_RightClick();
}

void GridView::sendKey(int qtKey)
{
    if (QWidget* editor = activeEditor()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
    QTableView::keyPressEvent(&press);
}

QWidget* GridView::activeEditor() const
{
    return state() == EditingState ? mDelegate->openEditor() : nullptr;
}

bool GridView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mCorner && event->type() == QEvent::Paint) {
        paintCorner();
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void GridView::paintCorner()
{
    QStylePainter painter(mCorner);
    QStyleOptionHeader option;
    option.initFrom(mCorner);
    option.rect = mCorner->rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.textAlignment = Qt::AlignCenter;
    option.text = mStore ? mStore->text(0, 0) : QString();
    painter.setFont(horizontalHeader()->font());
    option.fontMetrics = painter.fontMetrics();
    painter.drawControl(QStyle::CE_Header, option);
}

// --- selection and the active cell ----------------------------------------------------------

QList<GridBlock> GridView::selectedBlocks() const
{
    QList<GridBlock> blocks;
    if (!selectionModel())
        return blocks;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        if (range.isValid())
            blocks.append({range.left() + 1, range.top() + 1, range.right() + 1, range.bottom() + 1});
    return blocks;
}

GridBlock GridView::selectedBlock() const
{
    const QList<GridBlock> blocks = selectedBlocks();
    if (!blocks.isEmpty())
        return blocks.last();
    const int col = std::max(activeCol(), 1), row = std::max(activeRow(), 1);
    return {col, row, col, row};
}

void GridView::selectBlock(int col1, int row1, int col2, int row2)
{
    if (!mStore || !selectionModel())
        return;
    const QModelIndex topLeft = mStore->index(row1 - 1, col1 - 1);
    const QModelIndex bottomRight = mStore->index(row2 - 1, col2 - 1);
    if (!topLeft.isValid() || !bottomRight.isValid())
        return;
    selectionModel()->setCurrentIndex(topLeft, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(topLeft, bottomRight), QItemSelectionModel::ClearAndSelect);
}

void GridView::setActiveCell(int col, int row)
{
    if (!mStore)
        return;
    const QModelIndex index = mStore->index(row - 1, col - 1);
    if (index.isValid())
        setCurrentIndex(index);
}

// --- the clipboard -------------------------------------------------------------------------

namespace {
// The marked cells of a copied block, a line "row<TAB>column" (from 0) each, beside its text.
const QString kMarksFormat = QStringLiteral("application/x-vantrel-cell-marks");
}  // namespace

void GridView::copyToClipboard() const
{
    if (!mStore)
        return;
    const GridBlock block = selectedBlock();
    QString text, marks;
    for (int row = block.row1; row <= block.row2; ++row) {
        QStringList cells;
        for (int col = block.col1; col <= block.col2; ++col) {
            cells << mStore->text(col, row);
            if (mStore->isMarked(col, row))
                marks += QStringLiteral("%1\t%2\n").arg(row - block.row1).arg(col - block.col1);
        }
        text += DelimitedLine(cells, TextFormat::Tsv) + QLatin1Char('\n');
    }
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(kMarksFormat, marks.toLatin1());
    QGuiApplication::clipboard()->setMimeData(data);
}

void GridView::cutToClipboard()
{
    copyToClipboard();
    clearBlockTexts(selectedBlock());
}

void GridView::clearBlockTexts(const GridBlock& block)
{
    if (mStore)
        mStore->clearRange(block.col1, block.row1, block.col2, block.row2);
}

int GridView::pasteFromClipboard()
{
    if (!mStore)
        return 0;
    if (QWidget* editor = activeEditor()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QList<QStringList> rows = ParseDelimitedText(data ? data->text() : QString(), TextFormat::Tsv);
    // Text copied by another program carries no marks: the cells keep theirs, as when typed.
    const bool withMarks = data && data->hasFormat(kMarksFormat);
    QSet<QString> marked;
    if (withMarks)
        for (const QString& line : QString::fromLatin1(data->data(kMarksFormat)).split(QLatin1Char('\n')))
            marked.insert(line);
    const GridBlock target = selectedBlock();
    int leftOut = 0;
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c) {
            const int col = target.col1 + c, row = target.row1 + r;
            // Each edit may grow the sheet, so the cells are tried in order, as typed.
            if (!mStore->editCell(col, row, rows[r][c]))
                ++leftOut;
            else if (withMarks)
                mStore->setMarked(col, row,
                                  marked.contains(QStringLiteral("%1\t%2").arg(r).arg(c)) && isMarkable(col, row));
        }
    return leftOut;
}

int GridView::activeCol() const { return currentIndex().isValid() ? currentIndex().column() + 1 : 0; }

int GridView::activeRow() const { return currentIndex().isValid() ? currentIndex().row() + 1 : 0; }

// --- fonts and lines ----------------------------------------------------------------------

QFont GridView::scaledBoldFont(double scale) const
{
    QFont f = font();
    f.setBold(true);
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * scale);
    else if (f.pixelSize() > 0)
        f.setPixelSize(int(f.pixelSize() * scale + 0.5));
    return f;
}

void GridView::setRowFont(int row, const QFont& f)
{
    if (row == 0)
        horizontalHeader()->setFont(f);
    else
        mRowFonts.insert(row, f);
    viewport()->update();
}

QFont GridView::rowFont(int row) const
{
    return row == 0 ? horizontalHeader()->font() : mRowFonts.value(row, font());
}

QFont GridView::cellFont(int col, int row) const
{
    if (col == 0 && row != 0)
        return verticalHeader()->font();
    return rowFont(row);
}

GridView::CellLook GridView::cellLook(int col, int row) const
{
    CellLook look{mStore ? mStore->shownText(col, row) : QString(), cellFont(col, row), QColor()};
    if (mStore && mStore->isMarked(col, row)) {
        look.font.setItalic(true);
        look.color = kMarkedTextColor;
    }
    return look;
}

void GridView::setRowBottomLine(int row, int col1, int col2)
{
    mLineRow = row;
    mLineCol1 = col1;
    mLineCol2 = col2;
    viewport()->update();
}

bool GridView::hasBottomLine(int col, int row) const
{
    return row == mLineRow && col >= mLineCol1 && col <= mLineCol2;
}

// --- sizing ---------------------------------------------------------------------------------

int GridView::textWidth(const QString& text, const QFont& f) const
{
    const QFontMetrics metrics(f);
    int width = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        width = std::max(width, metrics.horizontalAdvance(line));
    return width + kTextPaddingX;
}

int GridView::textHeight(const QString& text, const QFont& f) const
{
    const QFontMetrics metrics(f);
    return int(text.count(QLatin1Char('\n')) + 1) * metrics.lineSpacing() + kTextPaddingY;
}

int GridView::widestTextWidth(int col) const
{
    if (!mStore)
        return 0;
    int widest = 0;
    for (int row = 0; row <= mStore->maxRows(); ++row) {
        const CellLook look = cellLook(col, row);
        int width = textWidth(look.text, look.font);
        if (row > 0 && mStore->isComboCell(col, row))
            width += kComboArrowWidth;
        widest = std::max(widest, width);
    }
    return widest;
}

int GridView::tallestTextHeight(int row) const
{
    if (!mStore)
        return 0;
    int tallest = 0;
    for (int col = 0; col <= mStore->maxCols(); ++col)
        tallest = std::max(tallest, textHeight(mStore->text(col, row), cellFont(col, row)));
    return tallest;
}

int GridView::sheetColWidth(int col) const
{
    if (col == 0)
        return std::max(verticalHeader()->minimumWidth(), verticalHeader()->sizeHint().width());
    return columnWidth(col - 1);
}

int GridView::sheetRowHeight(int row) const
{
    if (row == 0)
        return std::max(horizontalHeader()->minimumHeight(), horizontalHeader()->sizeHint().height());
    return rowHeight(row - 1);
}

void GridView::setSheetColWidth(int col, int width)
{
    if (col == 0)
        verticalHeader()->setMinimumWidth(width);
    else
        setColumnWidth(col - 1, width);
}

void GridView::setSheetRowHeight(int row, int height)
{
    if (row == 0)
        horizontalHeader()->setMinimumHeight(height);
    else
        setRowHeight(row - 1, height);
}

void GridView::widenColToText(int col)
{
    const int widest = widestTextWidth(col);
    if (widest > sheetColWidth(col))
        setSheetColWidth(col, widest);
}

void GridView::heightenRowToText(int row)
{
    const int tallest = tallestTextHeight(row);
    if (tallest > sheetRowHeight(row))
        setSheetRowHeight(row, tallest);
}
