#include "sheets/SheetWindow.h"

#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"
#include "platform/PrinterSetup.h"
#include "sheets/SheetPrinter.h"

#include <QCursor>
#include <QMenu>
#include <QPrinter>
#include <QVBoxLayout>

SheetWindow::SheetWindow(DesignWorkbook& workbook, GridCellStore& store, QWidget* parent)
    : QWidget(parent), Grid(new GridView(store, this)), mWorkbook(workbook), mStore(store)
{
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setEventHandler(this);
    // The grid fills the window whatever its size, from its top-left corner.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Grid);
}

void SheetWindow::PrintGrid(bool In_bShowDialog)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    printer.setPageOrientation(SheetPrinter::WiderThanTall(mStore, Grid->font()) ? QPageLayout::Landscape
                                                                                  : QPageLayout::Portrait);
    if (!SetUpPrinter(printer, In_bShowDialog, this))
        return;
    if (!SheetPrinter::Print(mStore, windowTitle(), printer))
        ShowMessage(QStringLiteral("The sheet could not be printed."), MsgButtons::Ok, MsgIcon::Critical);
}

void SheetWindow::Grid_KeyPress(int& keyCode)
{
    if (keyCode == 13) {
        keyCode = 0;
        Grid->sendKey(Qt::Key_Down);
    }
}

void SheetWindow::Grid_RightClick()
{
    if (mEditMenu)
        mEditMenu->popup(QCursor::pos());
}

void SheetWindow::ClearAllTexts()
{
    mStore.clearRange(GridCellStore::kAll, GridCellStore::kAll, 0, 0);
    for (int col = 0; col <= mStore.maxCols(); ++col)
        mStore.setText(col, 0, QString());
    for (int row = 1; row <= mStore.maxRows(); ++row)
        mStore.setText(0, row, QString());
}

void SheetWindow::CreateLevelsComboListStringArray(const TextTable& In_vaFactors, const LongArray& In_alLevelCounts,
                                                   int In_lNumFactors, QStringList& Ret_astrLevelsComboList)
{
    Ret_astrLevelsComboList.clear();
    for (int f = 1; f <= In_lNumFactors; ++f) {
        QString list;
        const int count = f >= In_alLevelCounts.lower() && f <= In_alLevelCounts.upper() ? In_alLevelCounts.at(f) : 0;
        if (f <= In_vaFactors.colUpper())
            for (int l = 1; l <= count && l <= In_vaFactors.rowUpper(); ++l)
                list += QLatin1Char('\t') + In_vaFactors.at(l, f);
        Ret_astrLevelsComboList.append(list);
    }
}

void SheetWindow::MarkDesignChanged()
{
    mWorkbook.MarkEdited();
}

QString SheetWindow::TableEntry(const TextTable& table, int row, int col)
{
    if (!table.isDimensioned() || row < table.rowLower() || row > table.rowUpper() || col < table.colLower() ||
        col > table.colUpper())
        return {};
    return table.at(row, col);
}
