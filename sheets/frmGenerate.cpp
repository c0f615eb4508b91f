#include "sheets/frmGenerate.h"

#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"
#include "sheets/SheetLoadProgress.h"

#include <QGuiApplication>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kProgressBar = 4;

QString CaseCaption(int testCase) { return QStringLiteral("Case ") + QString::number(testCase); }


// The hourglass for as long as it lives, whichever way the load ends.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Shows the progress window while it lives, when there is one to show.
class ProgressShown {
public:
    explicit ProgressShown(SheetLoadProgress* progress) : mProgress(progress)
    {
        if (mProgress)
            mProgress->Show();
    }
    ~ProgressShown()
    {
        if (mProgress)
            mProgress->Close();
    }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

private:
    SheetLoadProgress* mProgress;
};

void ShowRefusal(const char* text) { ShowMessage(QString::fromLatin1(text), MsgButtons::Ok, MsgIcon::Information); }
}  // namespace

frmGenerate::frmGenerate(DesignWorkbook& workbook, QWidget* parent)
    : SheetWindow(workbook, workbook.TestCasesGrid(), parent)
{
    Grid->setEmptyHint(QStringLiteral("Press F5 to generate the test cases"));
    Form_Load();
}

void frmGenerate::Form_Load() { SetupGrid(); }

void frmGenerate::SetupGrid()
{
    GridCellStore& grid = store();
    ClearAllTexts();
    grid.setMaxCols(1);
    grid.setMaxRows(1);
    grid.setLocked(GridCellStore::kAll, GridCellStore::kAll, true);
    grid.setProtect(true);
}

QString frmGenerate::GetIndexLetter(int index)
{
    if (index <= 26)
        return QString(QChar(64 + index));
    int k = 0;
    while (index > 26) {
        index -= 26;
        ++k;
    }
    return QString(QChar(64 + k)) + QChar(64 + index);
}

bool frmGenerate::LoadMatrixIntoGrid(std::int32_t In_lNumFactors, const TextTable& In_vaFactors,
                                     const TextTable& In_vaTestMatrix, const std::vector<bool>& In_abRemovalArray)
{
    return LoadCasesIntoGrid(
        In_lNumFactors, In_vaFactors, In_vaTestMatrix.isDimensioned() ? In_vaTestMatrix.rowUpper() : 0,
        [&In_vaTestMatrix](int i, int c) { return TableEntry(In_vaTestMatrix, i, c); }, In_abRemovalArray);
}

bool frmGenerate::LoadCasesIntoGrid(std::int32_t factorCount, const TextTable& factorTable, int numCases,
                                    const CaseCell& cell, const std::vector<bool>& removal)
{
    if (numCases <= 0)
        return true;
    const int numFactors = std::max<std::int32_t>(factorCount, 0);
    WaitCursor hourglass;
    const bool showProgress = numCases > kProgressAboveRows;
    ProgressShown progressShown(showProgress ? mProgress : nullptr);
    // Nearest, halves to even.
    const int step = std::max(1, int(std::nearbyint(double(numCases) / 100.0)));

    GridCellStore& grid = store();
    Grid->setRedraw(false);
    grid.setMaxCols(numFactors);
    grid.setMaxRows(numCases + 1);
    for (int c = 1; c <= numFactors; ++c) {
        grid.setText(c, 0, QStringLiteral("Factor_") + GetIndexLetter(c));
        grid.setText(c, 1, TableEntry(factorTable, 0, c));
    }
    grid.setText(0, 1, QStringLiteral("Factor Name"));

    int sheetRow = 1, removed = 0;
    bool cancelled = false;
    for (int i = 1; i <= numCases && !cancelled; ++i) {
        const bool remove = std::size_t(i - 1) < removal.size() && removal[std::size_t(i - 1)];
        if (!remove) {
            ++sheetRow;
            grid.setText(0, sheetRow, CaseCaption(sheetRow - 1));
            for (int c = 1; c <= numFactors; ++c)
                grid.setText(c, sheetRow, cell(i, c));
        } else {
            ++removed;
        }
        if (showProgress && mProgress && i % step == 0)
            cancelled = mProgress->UpdateProgress(kProgressBar, double(i) / double(numCases));
    }
    if (!cancelled) {
        grid.setMaxRows(numCases + 1 - removed);
        for (int c = 0; c <= numFactors; ++c)
            Grid->fitColToText(c);
    }
    Grid->setRedraw(true);
    return !cancelled;
}

bool frmGenerate::LoadSavedMatrix(std::int32_t In_lNumRows, std::int32_t In_lNumCols, const TextTable& In_vaMatrix)
{
    if (!workbook().PutTestCases(In_lNumRows, In_lNumCols, In_vaMatrix))
        return false;
    ShowLoadedTable();
    return true;
}

void frmGenerate::ShowLoadedTable()
{
    GridCellStore& grid = store();
    const int numRows = grid.maxRows(), numCols = grid.maxCols();
    for (int c = 1; c <= numCols; ++c)
        grid.setText(c, 0, QStringLiteral("Factor ") + GetIndexLetter(c));
    for (int r = 2; r <= numRows; ++r)
        grid.setText(0, r, CaseCaption(r - 1));
    grid.setText(0, 1, QStringLiteral("Factor Name"));
    for (int c = 0; c <= numCols; ++c)
        Grid->fitColToText(c);
}

void frmGenerate::DeleteRowFromGrid() { ShowRefusal("You cannot delete a row from the Test Cases Grid."); }

void frmGenerate::DeleteColFromGrid() { ShowRefusal("You cannot delete a column from the Test Cases Grid."); }

void frmGenerate::Grid_KeyPress(int& keyCode)
{
    if (keyCode == 0)
        return;
    keyCode = 0;
    ShowRefusal("The test case matrix is locked to prevent accidental changing of results.");
}

void frmGenerate::ShowStale(bool stale)
{
    if (!mStaleBanner && !stale)
        return;
    if (!mStaleBanner) {
        mStaleBanner = new QLabel(QStringLiteral("The design changed after these test cases were made: generate them "
                                                 "again to bring them up to date."),
                                  this);
        mStaleBanner->setObjectName(QStringLiteral("StaleBanner"));
        mStaleBanner->setWordWrap(true);
        mStaleBanner->setMargin(6);
        mStaleBanner->setStyleSheet(QStringLiteral("background: #fff3c4; color: #5c4400;"));
        static_cast<QVBoxLayout*>(layout())->insertWidget(0, mStaleBanner);
    }
    mStaleBanner->setVisible(stale);
}
