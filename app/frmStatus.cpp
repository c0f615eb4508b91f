#include "app/frmStatus.h"

#include "platform/qt/QtWindowPlacement.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace {
struct BarTexts {
    const char* idle;
    const char* running;
    const char* complete;
};
// By type 1..4.
const BarTexts kTexts[] = {
    {"Calculation Status", "Calculating Matrix ...", "Calculation Complete"},
    {"Constraint Status", "Handling Constraints ...", "Constraints Complete"},
    {"Previous Run Status", "Handling Previous Test ...", "Previous Test Complete"},
    {"Grid Status", "Filling Matrix ...", "Matrix Complete"},
};
}  // namespace

frmStatus::frmStatus(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint),
      pbCalculate(new QProgressBar(this)), pbConstraints(new QProgressBar(this)), pbPrevRuns(new QProgressBar(this)),
      pbFillMatrix(new QProgressBar(this)), lblCalculate(new QLabel(this)), lblConstraints(new QLabel(this)),
      lblPrevRuns(new QLabel(this)), lblFillMatrix(new QLabel(this)),
      cmdCancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setObjectName(QStringLiteral("frmStatus"));
    setWindowTitle(QStringLiteral("Status"));
    const char* names[] = {"pbCalculate", "pbConstraints", "pbPrevRuns", "pbFillMatrix",
                           "lblCalculate", "lblConstraints", "lblPrevRuns", "lblFillMatrix"};
    QProgressBar* bars[] = {pbCalculate, pbConstraints, pbPrevRuns, pbFillMatrix};
    QLabel* labels[] = {lblCalculate, lblConstraints, lblPrevRuns, lblFillMatrix};
    auto* layout = new QGridLayout(this);
    for (int i = 0; i < 4; ++i) {
        bars[i]->setObjectName(QString::fromLatin1(names[i]));
        labels[i]->setObjectName(QString::fromLatin1(names[i + 4]));
        bars[i]->setRange(0, 100);
        layout->addWidget(labels[i], 2 * i, 0);
        layout->addWidget(bars[i], 2 * i + 1, 0);
    }
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(cmdCancel, 8, 0, Qt::AlignRight);
    setMinimumWidth(320);
    connect(cmdCancel, &QPushButton::clicked, this, &frmStatus::cmdCancel_Click);
    Form_Load();
}

void frmStatus::Form_Load()
{
    QProgressBar* bars[] = {pbCalculate, pbConstraints, pbPrevRuns, pbFillMatrix};
    QLabel* labels[] = {lblCalculate, lblConstraints, lblPrevRuns, lblFillMatrix};
    for (int i = 0; i < 4; ++i) {
        bars[i]->setValue(0);
        labels[i]->setText(QString::fromLatin1(kTexts[i].idle));
        bars[i]->hide();
        labels[i]->hide();
    }
    mbCancel = false;
    cmdCancel->setEnabled(true);
}

void frmStatus::cmdCancel_Click()
{
    mbCancel = true;
    cmdCancel->setEnabled(false);  // it has been heard
}

bool frmStatus::UpdateProgress(int In_eTypeBar, double In_dMdlPrcntCmplt)
{
    QProgressBar* bars[] = {pbCalculate, pbConstraints, pbPrevRuns, pbFillMatrix};
    QLabel* labels[] = {lblCalculate, lblConstraints, lblPrevRuns, lblFillMatrix};
    if (In_eTypeBar >= BarCalculate && In_eTypeBar <= BarFillMatrix) {
        const int i = In_eTypeBar - 1;
        const double fraction = std::isfinite(In_dMdlPrcntCmplt) ? std::clamp(In_dMdlPrcntCmplt, 0.0, 1.0) : 0.0;
        bars[i]->setValue(int(std::lround(fraction * 100.0)));
        labels[i]->setText(QString::fromLatin1(fraction >= 1.0 ? kTexts[i].complete : kTexts[i].running));
        if (bars[i]->isHidden()) {
            labels[i]->show();
            bars[i]->show();
            if (isVisible())
                Centre();  // grown by the step, still centred
        }
    }
    QCoreApplication::processEvents();
    return mbCancel;
}

void frmStatus::Centre()
{
    adjustSize();
    QtWindowPlacement::centreOn(*this, parentWidget());
}

void frmStatus::Show()
{
    if (isVisible())
        return;
    Form_Load();  // every run starts from the window's load state
    Centre();
    show();
    QCoreApplication::processEvents();
}

void frmStatus::Close() { hide(); }
