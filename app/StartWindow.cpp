#include "app/StartWindow.h"

#include "app/MessageBox.h"
#include "app/modMain.h"
#include "files/CFile.h"
#include "sheets/frmConstraints.h"
#include "sheets/frmFactorsAndLevels.h"
#include "sheets/frmGenerate.h"
#include "sheets/frmPrevRuns.h"

#include <QTabWidget>

StartWindow::StartWindow(QWidget* parent)
    : QMainWindow(parent), mTabs(new QTabWidget(this)), mFactors(new frmFactorsAndLevels),
      mConstraints(new frmConstraints), mPrevRuns(new frmPrevRuns), mTestCases(new frmGenerate)
{
    setWindowTitle(QStringLiteral("Vantrel"));
    mTabs->addTab(mFactors, QStringLiteral("Factors and levels"));
    mTabs->addTab(mConstraints, QStringLiteral("Constraints"));
    mTabs->addTab(mPrevRuns, QStringLiteral("Previous Test"));
    mTabs->addTab(mTestCases, QStringLiteral("Test Cases"));
    mFactors->Form_Load();
    mConstraints->Form_Load();
    mPrevRuns->Form_Load();
    mTestCases->Form_Load();
    setCentralWidget(mTabs);
    resize(1000, 650);
}

bool StartWindow::openDesign(const QString& path)
{
    std::int32_t n = 0, maxLevels = 0, m = 0, p = 0, rows = 0, cols = 0;
    LongArray levelCounts;
    TextTable factors, constraints, prevRuns, matrix;
    if (!CFile::OpenXMLFile(path, n, maxLevels, levelCounts, factors, m, constraints, p, prevRuns, rows, cols,
                            matrix)) {
        ShowMessage(QStringLiteral("Error opening file"));
        return false;
    }
    // Each sheet loads only after the one before it succeeded.
    mFactors->LoadDataIntoGrid(n, maxLevels, factors, levelCounts) && mConstraints->LoadDataIntoGrid(m, constraints) &&
        mPrevRuns->LoadDataIntoGrid(p, prevRuns) && (mTestCases->LoadSavedMatrix(rows, cols, matrix), true);
    modMain::gstrCurrentFile = path;
    modMain::gbDirty = false;
    modMain::gbDesignChanged = true;
    setWindowTitle(QStringLiteral("Vantrel  -  [") + path + QLatin1Char(']'));
    mTabs->setCurrentIndex(0);
    return true;
}
