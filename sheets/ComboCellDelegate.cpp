#include "sheets/ComboCellDelegate.h"

#include "sheets/DesignHistory.h"
#include "sheets/GridView.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace {
int SheetCol(const QModelIndex& index) { return index.column() + 1; }
int SheetRow(const QModelIndex& index) { return index.row() + 1; }
}  // namespace

ComboCellDelegate::ComboCellDelegate(GridView& view) : QStyledItemDelegate(&view), mView(view) {}

QWidget* ComboCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    GridCellStore* store = mView.store();
    const int col = SheetCol(index), row = SheetRow(index);
    QWidget* editor = nullptr;
    if (store && store->isComboCell(col, row)) {
        // The owner may hand the cell another list before it opens.
        mView.raiseComboDropDown(col, row);
        auto* combo = new QComboBox(parent);
        combo->addItems(store->comboItems(col, row));
        auto* self = const_cast<ComboCellDelegate*>(this);
        QPersistentModelIndex where(index);
        connect(combo, &QComboBox::activated, self, [self, combo, where](int) {
            if (!where.isValid())
                return;
            emit self->commitData(combo);
            self->mView.raiseComboSelChange(SheetCol(where), SheetRow(where));
        });
        editor = combo;
    } else {
        editor = QStyledItemDelegate::createEditor(parent, option, index);
    }
    mEditor = editor;
    return editor;
}

void ComboCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        // A text that is not in the list shows no item (and is not written back).
        combo->setCurrentIndex(int(combo->findText(index.data(Qt::EditRole).toString(), Qt::MatchExactly)));
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void ComboCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    QString text;
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        if (combo->currentIndex() < 0)
            return;
        text = combo->currentText();
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        text = line->text();
    } else {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    if (text == model->data(index, Qt::EditRole).toString())
        return;
    DesignHistory::Record(tr("Typing"), [&] { model->setData(index, text, Qt::EditRole); });
}

void ComboCellDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    if (editor == mEditor)
        mEditor = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
}

void ComboCellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const GridView::CellLook look = mView.cellLook(SheetCol(index), SheetRow(index));
    option->font = look.font;
    option->text = look.text;
    if (look.color.isValid())
        option->palette.setColor(QPalette::Text, look.color);
}

void ComboCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const int col = SheetCol(index), row = SheetRow(index);
    if (GridCellStore* store = mView.store(); store && store->isComboCell(col, row)) {
        // A small arrow tells the user that the cell drops down a list.
        QStyleOption arrow;
        arrow.rect = QRect(option.rect.right() - 12, option.rect.center().y() - 4, 9, 9);
        arrow.palette = option.palette;
        mView.style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, &mView);
    }
    if (mView.hasBottomLine(col, row)) {
        painter->save();
        painter->setPen(QPen(option.palette.color(QPalette::WindowText), 2));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }
}

bool ComboCellDelegate::eventFilter(QObject* editor, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int code = GridView::CharacterKeyCode(static_cast<QKeyEvent*>(event));
        if (code != 0 && mView.raiseKeyPress(code) == 0)
            return true;
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}
