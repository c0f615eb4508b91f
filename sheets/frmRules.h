#pragma once
// The Rules sheet: the design's rules text in a text editor with line numbers and its own
// Undo and Redo, a find bar, and a line under the editor that says what the check found. Every
// edit becomes the workbook's rules text and marks the design changed; a text the workbook is
// given (a design opened, File New) is shown without steps to undo. A moment after typing
// stops, the text is checked against the factors as the Factors and Levels sheet holds them,
// and a problem is underlined at its place.

#include <QTimer>
#include <QWidget>

class DesignWorkbook;
class QLabel;
class QLineEdit;
class RulesEditor;
namespace vantrel {
struct Error;
}

class frmRules : public QWidget {
    Q_OBJECT
public:
    explicit frmRules(DesignWorkbook& workbook, QWidget* parent = nullptr);
    ~frmRules() override;

    RulesEditor* Editor() const { return mEditor; }

    // The line under the editor: "Line 3, column 14: unknown factor [Colour]"; empty when the
    // text checks.
    QString CheckMessage() const;
    // Whether a check waits for typing to stop; CheckNow runs it at once.
    bool CheckPending() const { return mCheckTimer.isActive(); }
    void CheckNow();

    // An empty text without steps to undo (a new design).
    void SetupSheet();
    // Gives the editor the keyboard focus with the cursor at a 1-based line and column.
    void ShowPlace(int line, int column);
    // Prints the text, headed by the window title, with the print dialog first when asked.
    void PrintRules(bool In_bShowDialog);

    // Ctrl+F: the find bar, its field focused and holding the text selected in the editor.
    void ShowFindBar();
    bool IsFindBarShown() const;
    // Selects the next place of the find bar's text after the cursor (before it when
    // backward), going round at the end; False, and the bar says so, when the text has none.
    // Names are exact, so the find is too: letter case counts.
    bool FindNext(bool backward = false);

signals:
    // The user changed the text (typing, Undo, Redo, Cut, Paste, Clear).
    void edited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildFindBar();
    void TextChanged();
    void ShowWorkbookRules();
    void ShowProblem(const vantrel::Error* error, const QString& line);
    // Ctrl+F, F3 and Shift+F3 belong to the sheet while it has the focus.
    bool IsFindKey(const QKeyEvent& key) const;
    void FindKeyPressed(const QKeyEvent& key);

    DesignWorkbook& mWorkbook;
    RulesEditor* mEditor = nullptr;
    QWidget* mFindBar = nullptr;
    QLineEdit* mFindText = nullptr;
    QLabel* mFindState = nullptr;
    QLabel* mCheckLine = nullptr;
    QTimer mCheckTimer;
    bool mShowingWorkbookRules = false;
};
