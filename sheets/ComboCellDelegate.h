#pragma once
// Draws and edits the cells of a grid: a drop-down list for combo cells (its first item is
// empty and blanks the cell), a line editor for the others. Only a real change of text is
// written back, so leaving a cell untouched raises no change event.

#include <QPointer>
#include <QStyledItemDelegate>

class GridView;

class ComboCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ComboCellDelegate(GridView& view);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    QWidget* openEditor() const { return mEditor; }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    bool eventFilter(QObject* editor, QEvent* event) override;

private:
    GridView& mView;
    mutable QPointer<QWidget> mEditor;
};
