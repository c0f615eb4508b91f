#pragma once
// The Rules sheet's text editor: plain text in a monospaced font, without wrapping, the line
// numbers in a margin at its left. Enter and Shift+Enter both start a new line, so that a line
// of the editor is a line of the rules text. Its own Undo and Redo are the sheet's. A file
// dropped on it is left to the window, which opens it as it opens one dropped anywhere.

#include <QPlainTextEdit>

class RulesEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RulesEditor(QWidget* parent = nullptr);

    // The text, its lines ended by "\n"; every other character as typed.
    QString Text() const;
    // A place of the text: 1-based line and column, the column counted in characters (one
    // outside the Basic Multilingual Plane counts once, as the rules check counts it). A line
    // past the last is the end of the text, a column past the end of its line the line's end.
    QTextCursor CursorAt(int line, int column) const;
    // The margin's width for the number of lines the text has.
    int MarginWidth() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PaintMargin(const QRect& area);
    void FollowUpdate(const QRect& area, int dy);

    QWidget* const mMargin;
};
