#include "sheets/RulesEditor.h"

#include <QDragEnterEvent>
#include <QMimeData>

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QTextBlock>

#include <algorithm>

RulesEditor::RulesEditor(QWidget* parent) : QPlainTextEdit(parent), mMargin(new QWidget(this))
{
    setObjectName(QStringLiteral("RulesEditor"));
    mMargin->setObjectName(QStringLiteral("LineNumbers"));
    mMargin->installEventFilter(this);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabStopDistance(4 * fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { setViewportMargins(MarginWidth(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, &RulesEditor::FollowUpdate);
    setViewportMargins(MarginWidth(), 0, 0, 0);
}

void RulesEditor::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->ignore();  // files are the window's
    else
        QPlainTextEdit::dragEnterEvent(event);
}

void RulesEditor::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->ignore();
    else
        QPlainTextEdit::dragMoveEvent(event);
}

void RulesEditor::dropEvent(QDropEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->ignore();
    else
        QPlainTextEdit::dropEvent(event);
}

QString RulesEditor::Text() const
{
    // The raw text keeps what the plain text would change (a no-break space stays one).
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

QTextCursor RulesEditor::CursorAt(int line, int column) const
{
    QTextCursor cursor(document());
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    if (line < 1 || !block.isValid()) {
        cursor.movePosition(QTextCursor::End);
        return cursor;
    }
    const QString text = block.text();
    qsizetype at = 0;
    for (int c = 1; c < column && at < text.size(); ++c)
        at += text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate() ? 2 : 1;
    cursor.setPosition(block.position() + int(at));
    return cursor;
}

int RulesEditor::MarginWidth() const
{
    const int digits = int(QString::number(std::max(1, blockCount())).size());
    return fontMetrics().horizontalAdvance(QLatin1Char('9')) * (digits + 1) + 4;
}

bool RulesEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mMargin && event->type() == QEvent::Paint) {
        PaintMargin(static_cast<QPaintEvent*>(event)->rect());
        return true;
    }
    return QPlainTextEdit::eventFilter(watched, event);
}

void RulesEditor::keyPressEvent(QKeyEvent* event)
{
    // Shift+Enter would break the line inside one line of the text.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier, event->text(),
                        event->isAutoRepeat(), ushort(event->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void RulesEditor::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    const QRect inside = contentsRect();
    mMargin->setGeometry(inside.left(), inside.top(), MarginWidth(), inside.height());
}

void RulesEditor::FollowUpdate(const QRect& area, int dy)
{
    if (dy != 0)
        mMargin->scroll(0, dy);
    else
        mMargin->update(0, area.y(), mMargin->width(), area.height());
    if (mMargin->width() != MarginWidth())
        mMargin->resize(MarginWidth(), mMargin->height());
}

void RulesEditor::PaintMargin(const QRect& area)
{
    QPainter painter(mMargin);
    painter.fillRect(area, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.setFont(font());
    const int right = mMargin->width() - fontMetrics().horizontalAdvance(QLatin1Char('9')) / 2;
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
        if (box.top() > area.bottom())
            break;
        if (block.isVisible() && box.bottom() >= area.top())
            painter.drawText(QRectF(0, box.top(), right, fontMetrics().height()), Qt::AlignRight | Qt::AlignTop,
                             QString::number(block.blockNumber() + 1));
    }
}
