#pragma once
// Driving a sheet window as a user would (clicks, keys, the editors that open), and the
// checks the widget tests share: the message boxes met, the design's flags, the grids' texts
// and the application state reset.

#include "app/modMain.h"
#include "sheets/GridView.h"
#include "sheets/frmFactorsAndLevels.h"
#include "tests/support/RecordingStatusPanels.h"
#include "tests/support/ScriptedMessages.h"
#include "tests/support/TestTables.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QHeaderView>
#include <QTest>

#include <functional>
#include <list>

namespace SheetTest {

// Fresh stores and counts, clean flags.
inline void ResetApplicationState()
{
    modMain::ReleaseGlobalObjects();
    modMain::gbDirty = false;
    modMain::gbDesignChanged = false;
    modMain::gbAutoTest = false;
    modMain::gstrCurrentFile.clear();
}

inline void ShowWindow(QWidget& window)
{
    window.resize(900, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

inline QPoint CellCenter(GridView& grid, int col, int row)
{
    const QModelIndex index = grid.model()->index(row - 1, col - 1);
    grid.scrollTo(index);
    return grid.visualRect(index).center();
}

// A click through the window, as the platform delivers it (modifiers and context menus included).
inline void ClickAt(QWidget* widget, QPoint pos, Qt::KeyboardModifiers modifiers = {},
                    Qt::MouseButton button = Qt::LeftButton)
{
    QWidget* window = widget->window();
    QTest::mouseClick(window->windowHandle(), button, modifiers, widget->mapTo(window, pos));
}

inline void ClickCell(GridView& grid, int col, int row, Qt::KeyboardModifiers modifiers = {},
                      Qt::MouseButton button = Qt::LeftButton)
{
    ClickAt(grid.viewport(), CellCenter(grid, col, row), modifiers, button);
}

// Marks whole rows (or columns) first..last: a click on the first caption, a shift-click on the last.
inline void MarkSections(QHeaderView* header, int first, int last)
{
    const auto centre = [header](int section) {
        const int along = header->sectionViewportPosition(section - 1) + header->sectionSize(section - 1) / 2;
        return header->orientation() == Qt::Horizontal ? QPoint(along, header->height() / 2)
                                                       : QPoint(header->width() / 2, along);
    };
    ClickAt(header->viewport(), centre(first));
    if (last != first)
        ClickAt(header->viewport(), centre(last), Qt::ShiftModifier);
}

inline void MarkRows(GridView& grid, int first, int last) { MarkSections(grid.verticalHeader(), first, last); }
inline void MarkCols(GridView& grid, int first, int last) { MarkSections(grid.horizontalHeader(), first, last); }

// Clicks the cell, types the text (the first key opens the editor) and presses Enter.
inline void TypeIntoCell(GridView& grid, int col, int row, const QString& text)
{
    ClickCell(grid, col, row);
    QTest::keyClicks(&grid, text.left(1));
    QWidget* editor = grid.activeEditor();
    QVERIFY2(editor, "typing did not open an editor");
    QTest::keyClicks(editor, text.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
}

// Clicks a combo cell and opens its drop-down editor with F2.
inline QComboBox* OpenCombo(GridView& grid, int col, int row)
{
    ClickCell(grid, col, row);
    QTest::keyClick(&grid, Qt::Key_F2);
    return qobject_cast<QComboBox*>(grid.activeEditor());
}

inline QStringList ComboItems(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; combo && i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

// The design's flags as given: changed since it was saved, changed since the last generation.
inline void ExpectFlags(bool dirty, bool designChanged)
{
    QCOMPARE(modMain::gbDirty, dirty);
    QCOMPARE(modMain::gbDesignChanged, designChanged);
}

// At the end of every test: no box that was not scripted, no scripted answer left over.
inline void VerifyMessagesSettled(const ScriptedMessages& messages)
{
    QVERIFY2(messages.unexpected().isEmpty(), qPrintable(messages.unexpected().join(" | ")));
    QCOMPARE(messages.unusedAnswers(), 0);
}

// Expects exactly one box since the last check, as given, and forgets it.
inline void TakeOnlyMessage(ScriptedMessages& messages, const QString& text, MsgIcon icon,
                            MsgButtons buttons = MsgButtons::Ok, int helpContext = 0)
{
    QCOMPARE(messages.texts(), QStringList{text});
    const MessageRequest shown = messages.last();
    QCOMPARE(shown.icon, icon);
    QCOMPARE(shown.buttons, buttons);
    QCOMPARE(shown.helpContext, helpContext);
    VerifyMessagesSettled(messages);
    messages.clear();
}

// Runs act, answering Ok to the one box it shows, and expects that box as given.
inline void ExpectOneBox(ScriptedMessages& messages, const std::function<void()>& act, const QString& text,
                         MsgIcon icon, MsgButtons buttons = MsgButtons::Ok, int helpContext = 0)
{
    messages.answer(MsgResult::Ok);
    act();
    TakeOnlyMessage(messages, text, icon, buttons, helpContext);
}

// The captions of column 0, rows first..last.
inline QStringList RowCaptions(const GridCellStore& grid, int first, int last)
{
    QStringList out;
    for (int r = first; r <= last; ++r)
        out << grid.text(0, r);
    return out;
}

// The texts of one row as the sheet shows them (a marked cell's after its "~"), columns first..last.
inline QStringList RowTexts(const GridCellStore& grid, int row, int first, int last)
{
    QStringList out;
    for (int c = first; c <= last; ++c)
        out << grid.shownText(c, row);
    return out;
}

// The captions of row 0, columns first..last.
inline QStringList ColCaptions(const GridCellStore& grid, int first, int last)
{
    return RowTexts(grid, 0, first, last);
}

// Every row from firstRow down, its texts from firstCol on joined by '|' (0 takes the captions).
inline QStringList Lines(const GridCellStore& grid, int firstRow = 1, int firstCol = 1)
{
    QStringList rows;
    for (int r = firstRow; r <= grid.maxRows(); ++r)
        rows << RowTexts(grid, r, firstCol, grid.maxCols()).join(QLatin1Char('|'));
    return rows;
}

// Factors as a design file hands them over: each column its name, then its levels.
inline void LoadFactors(frmFactorsAndLevels& sheet, const QList<QStringList>& columns)
{
    LongArray counts;
    const TextTable table = TestTables::FactorTable(columns, counts);
    QVERIFY(sheet.LoadDataIntoGrid(int(columns.size()), table.rowUpper(), table, counts));
}

// Every sheet test starts from fresh stores and counts with the message and status-bar
// doubles in place, every grid's model checked for consistency while it runs; it ends with no
// box unexpected and no answer left over.
class SheetTestCase : public QObject {
    Q_OBJECT
protected:
    ScriptedMessages messages;
    RecordingStatusPanels panels;

private slots:
    void init()
    {
        ResetApplicationState();
        messages.clear();
        for (GridCellStore* grid : {&modMain::FactorsGrid(), &modMain::ConstraintsGrid(), &modMain::PrevRunsGrid(),
                                    &modMain::TestCasesGrid()})
            mTesters.emplace_back(grid, QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    void cleanup()
    {
        mTesters.clear();
        VerifyMessagesSettled(messages);
        ResetApplicationState();
    }

private:
    std::list<QAbstractItemModelTester> mTesters;
};

}  // namespace SheetTest
