#include "app/frmAutoTest.h"

#include "app/CommandRun.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "app/modMainFileCommands.h"
#include "app/modMainFind.h"
#include "app/modMainGeneration.h"
#include "platform/MessageBox.h"
#include "settings/CGetMyDataFolder.h"
#include "sheets/frmConstraints.h"
#include "sheets/frmFactorsAndLevels.h"
#include "sheets/frmPrevRuns.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <array>

namespace {
constexpr int kMaxFactors = 10;
constexpr int kMaxLevels = 11;

QPushButton* NewButton(const char* name, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QLabel* NewCounter(const char* name, QWidget* parent)
{
    auto* label = new QLabel(QStringLiteral("0"), parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}
}  // namespace

frmAutoTest::frmAutoTest(const CommandContext& context)
    : QWidget(&context.window, Qt::Window), cmdLoadGrid(NewButton("cmdLoadGrid", "Begin", this)),
      cmdStop(NewButton("cmdStop", "Stop", this)), Command1(NewButton("Command1", "Registry Test", this)),
      lblNumDesigns(NewCounter("lblNumDesigns", this)), lblNumFailConverge(NewCounter("lblNumFailConverge", this)),
      lblNumInvalid(NewCounter("lblNumInvalid", this)), lblNumMissing(NewCounter("lblNumMissing", this)),
      lblNumRejected(NewCounter("lblNumRejected", this)), mContext(context), mRandom(std::random_device{}())
{
    setObjectName(QStringLiteral("frmAutoTest"));
    setWindowTitle(QStringLiteral("AutoTest"));
    auto* layout = new QGridLayout(this);
    const std::pair<const char*, QLabel*> counters[] = {
        {"Num Designs Tested", lblNumDesigns},
        {"Num Failed to Converge", lblNumFailConverge},
        {"Num Designs Invalid Constraints", lblNumInvalid},
        {"Num Designs Missing Combinations", lblNumMissing},
        {"Num Designs Rejected by Validation", lblNumRejected},
    };
    int row = 0;
    for (const auto& [caption, label] : counters) {
        layout->addWidget(new QLabel(QString::fromLatin1(caption), this), row, 0);
        layout->addWidget(label, row++, 1);
    }
    layout->addWidget(cmdLoadGrid, row, 0);
    layout->addWidget(cmdStop, row, 1);
    layout->addWidget(Command1, row + 1, 0);
    connect(cmdLoadGrid, &QPushButton::clicked, this, &frmAutoTest::cmdLoadGrid_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmAutoTest::cmdStop_Click);
    connect(Command1, &QPushButton::clicked, this, &frmAutoTest::Command1_Click);
    Form_Load();
}

void frmAutoTest::Form_Load()
{
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(int(screen->geometry().width() - 1.2 * width()), y());
}

void frmAutoTest::cmdLoadGrid_Click()
{
    if (CommandRun::Active())
        return;
    mRandom.seed(std::random_device{}());
    mbStop = false;
    modMain::gbAutoTest = true;
    mlNumDesigns = mlNumFailConverge = mlNumInvalid = mlNumMissing = mlNumRejected = 0;
    ShowCounters();
    cmdLoadGrid->setEnabled(false);
    {
        // Closing the main window ends the run after the design in progress.
        CommandRun run(mContext.window, [this] { cmdStop_Click(); });
        for (std::int32_t i = 1; i <= mlDesignsPerRun; ++i) {
            RandomLoadGrid();
            QCoreApplication::processEvents();
            bool converged = false;
            const modMain::GenerationOutcome outcome = modMain::GenerateNWay(mContext, 2, converged);
            mlNumDesigns = i;
            if (outcome == modMain::GenerationOutcome::Refused) {
                ++mlNumRejected;
            } else if (outcome == modMain::GenerationOutcome::Generated && converged) {
                QCoreApplication::processEvents();
                std::int32_t found = 0, missing = 0;
                bool violation = false;
                modMain::FindAll2Ways(mContext, found, missing, violation);
                mlNumMissing += missing > 0 ? 1 : 0;
                mlNumInvalid += violation ? 1 : 0;
            } else {
                ++mlNumFailConverge;
            }
            ShowCounters();
            QCoreApplication::processEvents();
            modMain::gbDirty = false;
            modMain::FileNew(mContext);
            QCoreApplication::processEvents();
            if (mbStop)
                break;
        }
    }
    cmdLoadGrid->setEnabled(true);
}

void frmAutoTest::cmdStop_Click() { mbStop = true; }

void frmAutoTest::closeEvent(QCloseEvent* event)
{
    cmdStop_Click();
    QWidget::closeEvent(event);
}

void frmAutoTest::Command1_Click() { ShowMessage(mContext.messages, CGetMyDataFolder().GetWindowsDir()); }

void frmAutoTest::ShowCounters()
{
    lblNumDesigns->setNum(mlNumDesigns);
    lblNumFailConverge->setNum(mlNumFailConverge);
    lblNumInvalid->setNum(mlNumInvalid);
    lblNumMissing->setNum(mlNumMissing);
    lblNumRejected->setNum(mlNumRejected);
}

void frmAutoTest::RandomLoadGrid()
{
    InitFactors();
    InitConstraints();
    InitPrevTest();
}

QString frmAutoTest::LevelName(int factor, int level) const
{
    return mFactorNames[std::size_t(factor - 1)] + QString::number(level);
}

void frmAutoTest::InitFactors()
{
    const int numFactors = RandomIndex(2, kMaxFactors);
    mFactorNames.clear();
    mLevelCounts.clear();
    TextTable table(0, kMaxLevels, 1, numFactors);
    LongArray levelCounts(1, numFactors);
    for (int f = 1; f <= numFactors; ++f) {
        mFactorNames.push_back(QString(QChar(65 + f)));  // "B" for factor 1 up to "K" for factor 10
        mLevelCounts.push_back(RandomIndex(2, kMaxLevels));
        levelCounts(f) = mLevelCounts.back();
        table(0, f) = mFactorNames.back();
        for (int l = 1; l <= levelCounts.at(f); ++l)
            table(l, f) = LevelName(f, l);
    }
    mContext.window.FactorsSheet()->LoadDataIntoGrid(numFactors, kMaxLevels, table, levelCounts);
}

void frmAutoTest::InitConstraints()
{
    const int numFactors = int(mFactorNames.size());
    const int numConstraints = RandomIndex(0, 1);
    mConstraintCodes.clear();
    if (numConstraints == 0)
        return;
    TextTable table(1, numConstraints, 1, 4);
    for (int c = 1; c <= numConstraints; ++c) {
        const int ifFactor = RandomIndex(1, numFactors);
        int thenFactor = ifFactor;
        while (thenFactor == ifFactor)
            thenFactor = RandomIndex(1, numFactors);
        const int ifLevel = RandomIndex(1, mLevelCounts[std::size_t(ifFactor - 1)]);
        const int thenLevel = RandomIndex(1, mLevelCounts[std::size_t(thenFactor - 1)]);
        table(c, 1) = mFactorNames[std::size_t(ifFactor - 1)];
        table(c, 2) = LevelName(ifFactor, ifLevel);
        table(c, 3) = mFactorNames[std::size_t(thenFactor - 1)];
        table(c, 4) = LevelName(thenFactor, thenLevel);
        mConstraintCodes.push_back({ifFactor, ifLevel, thenFactor, thenLevel});
    }
    mContext.window.SwitchToOutlookItem(frmMain::ItemConstraints);
    mContext.window.ConstraintsSheet()->LoadDataIntoGrid(numConstraints, table);
}

void frmAutoTest::InitPrevTest()
{
    const int numFactors = int(mFactorNames.size());
    // Tests already run keep the constraints (one that breaks them is refused): a test that
    // breaks one is drawn again, a few times, and left out if it still does.
    std::vector<std::vector<int>> runs;
    for (int p = RandomIndex(0, 20); p > 0; --p) {
        std::vector<int> run(std::size_t(numFactors), 0);
        bool keeps = false;
        for (int attempt = 0; attempt < 20 && !keeps; ++attempt) {
            for (int f = 1; f <= numFactors; ++f)
                run[std::size_t(f - 1)] = RandomIndex(1, mLevelCounts[std::size_t(f - 1)]);
            keeps = std::none_of(mConstraintCodes.begin(), mConstraintCodes.end(), [&](const std::array<int, 4>& c) {
                return run[std::size_t(c[0] - 1)] == c[1] && run[std::size_t(c[2] - 1)] == c[3];
            });
        }
        if (keeps)
            runs.push_back(run);
    }
    if (runs.empty())
        return;
    // Level names, as the Previous Test sheet holds them.
    TextTable table(1, int(runs.size()), 1, numFactors);
    for (int p = 1; p <= int(runs.size()); ++p)
        for (int f = 1; f <= numFactors; ++f)
            table(p, f) = LevelName(f, runs[std::size_t(p - 1)][std::size_t(f - 1)]);
    mContext.window.PrevRunsSheet()->LoadDataIntoGrid(int(runs.size()), table);
}
