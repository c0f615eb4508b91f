#include "app/frmNWayStatus.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kBarSteps = 1000;
}

frmNWayStatus::frmNWayStatus(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      pbStatus(new QProgressBar(this)), lblNum(new QLabel(this)), lblSmallest(new QLabel(this)),
      lblStop(new QLabel(this)), cmdStop(new QPushButton(QStringLiteral("&Stop"), this)), lblPhase(new QLabel(this)),
      lblTime(new QLabel(this)), lblNote(new QLabel(this))
{
    setObjectName(QStringLiteral("frmNWayStatus"));
    setWindowTitle(QStringLiteral("Generating Test Cases..."));
    pbStatus->setObjectName(QStringLiteral("pbStatus"));
    lblNum->setObjectName(QStringLiteral("lblNum"));
    lblSmallest->setObjectName(QStringLiteral("lblSmallest"));
    lblStop->setObjectName(QStringLiteral("lblStop"));
    cmdStop->setObjectName(QStringLiteral("cmdStop"));
    pbStatus->setRange(0, kBarSteps);
    pbStatus->setTextVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Current Test Case Status"), this));
    layout->addWidget(pbStatus);
    layout->addWidget(lblNum);
    layout->addWidget(lblNote);
    layout->addWidget(lblSmallest);
    layout->addWidget(lblPhase);
    layout->addWidget(lblTime);
    lblNote->setWordWrap(true);
    for (QLabel* label : {lblPhase, lblTime, lblNote})
        label->hide();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblStop, 1);
    bottom->addWidget(cmdStop);
    layout->addLayout(bottom);
    setMinimumWidth(360);
    connect(cmdStop, &QPushButton::clicked, this, &frmNWayStatus::cmdStop_Click);
    Form_Load();
}

void frmNWayStatus::Form_Load()
{
    pbStatus->setValue(0);
    lblNum->clear();
    lblSmallest->clear();
    lblStop->clear();
    mbStop = false;
}

void frmNWayStatus::cmdStop_Click()
{
    mbStop = true;
    lblStop->setText(QStringLiteral("Generation will stop in a moment..."));
}

bool frmNWayStatus::UpdateNWayProgress(double In_dPercentComplete, std::int32_t In_lNumComplete,
                                        std::int32_t In_lSmallest)
{
    const bool stop = mbStop;
    if (In_lNumComplete != -1) {
        mDone = In_lNumComplete;
        lblNum->setText(QStringLiteral("Total iterations: ") + QString::number(In_lNumComplete) +
                        (mTotal > 0 ? QStringLiteral(" of %1").arg(mTotal) : QString()));
        if (!mbStop)
            lblStop->setText(QStringLiteral("Press Stop at any time."));
    }
    if (In_lSmallest != -1)
        lblSmallest->setText(QStringLiteral("Fewest test cases in best result: ") + QString::number(In_lSmallest));
    ShowTimeLeft();
    double fraction = std::isfinite(In_dPercentComplete) ? std::clamp(In_dPercentComplete, 0.0, 1.0) : 0.0;
    // With a total, the running evolution's completeness fills the bar's next share.
    if (mTotal > 0)
        fraction = std::min(1.0, (mDone + (In_lNumComplete != -1 ? 0.0 : fraction)) / mTotal);
    pbStatus->setValue(int(std::lround(fraction * kBarSteps)));
    QCoreApplication::processEvents();
    return stop;
}

void frmNWayStatus::closeEvent(QCloseEvent* event)
{
    cmdStop_Click();
    event->ignore();
}

void frmNWayStatus::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        cmdStop_Click();
    else
        QWidget::keyPressEvent(event);
}

void frmNWayStatus::setEvolutionNote(const QString& note)
{
    lblNote->setText(note);
    lblNote->setVisible(!note.isEmpty());
}

void frmNWayStatus::setTimeLimit(double seconds)
{
    mTimeLimit = seconds;
    mClock.start();
    ShowTimeLeft();
}

void frmNWayStatus::ShowTimeLeft()
{
    if (mTimeLimit <= 0)
        return;
    const double left = std::max(0.0, mTimeLimit - double(mClock.elapsed()) / 1000.0);
    lblTime->setText(QStringLiteral("Time left: %1 s").arg(std::ceil(left), 0, 'f', 0));
    lblTime->show();
}

void frmNWayStatus::ShowCompaction(std::int32_t rows)
{
    lblPhase->setText(QStringLiteral("Compacting the test cases: %1 to start from...").arg(rows));
    lblPhase->show();
}
