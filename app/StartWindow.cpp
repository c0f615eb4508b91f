#include "app/StartWindow.h"

#include "app/modMain.h"
#include "model/GridCellStore.h"

#include <QHeaderView>
#include <QTableView>

StartWindow::StartWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Vantrel"));
    auto* view = new QTableView(this);
    view->setModel(&modMain::FactorsGrid());
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setCentralWidget(view);
    resize(900, 600);
}
