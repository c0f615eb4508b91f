#pragma once
// The self-test window: random designs put on the real sheets, generated through the normal
// Generate 2 Way command and checked with the pair search, over and over until the run's
// number of designs or Stop. Counts the designs that failed to converge, violate a
// constraint, miss a pair or were rejected by validation.

#include "app/DesktopContext.h"

#include <QWidget>

#include <array>
#include <random>
#include <cstdint>
#include <vector>

class QLabel;
class QPushButton;

class frmAutoTest : public QWidget {
    Q_OBJECT
public:
    static constexpr std::int32_t kDesignsPerRun = 100000;

    // A window of its own over the context's main window, whose sheets and commands it runs.
    explicit frmAutoTest(const CommandContext& context);

    QPushButton* const cmdLoadGrid;  // Begin
    QPushButton* const cmdStop;
    QPushButton* const Command1;  // Registry Test
    QLabel* const lblNumDesigns;
    QLabel* const lblNumFailConverge;
    QLabel* const lblNumInvalid;
    QLabel* const lblNumMissing;
    QLabel* const lblNumRejected;

    // How many designs a run tests.
    void setDesignsPerRun(std::int32_t designs) { mlDesignsPerRun = designs; }

    void cmdLoadGrid_Click();
    void cmdStop_Click();
    void Command1_Click();

    // The counters of the last run.
    std::int32_t NumDesigns() const { return mlNumDesigns; }
    std::int32_t NumFailConverge() const { return mlNumFailConverge; }
    std::int32_t NumInvalid() const { return mlNumInvalid; }
    std::int32_t NumMissing() const { return mlNumMissing; }
    std::int32_t NumRejected() const { return mlNumRejected; }

protected:
    // Closing the window ends a run after the design in progress.
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void RandomLoadGrid();
    void InitFactors();
    void InitConstraints();
    void InitPrevTest();
    QString LevelName(int factor, int level) const;
    void ShowCounters();

    const CommandContext mContext;
    // A whole number from a to b, both included.
    int RandomIndex(int a, int b) { return std::uniform_int_distribution<int>(a, b)(mRandom); }
    std::mt19937_64 mRandom;
    bool mbStop = false;
    std::int32_t mlDesignsPerRun = kDesignsPerRun;
    std::int32_t mlNumDesigns = 0;
    std::int32_t mlNumFailConverge = 0;
    std::int32_t mlNumInvalid = 0;
    std::int32_t mlNumMissing = 0;
    std::int32_t mlNumRejected = 0;

    // The design being tested: factor names and level counts, factor 1 at position 0.
    std::vector<QString> mFactorNames;
    std::vector<std::int32_t> mLevelCounts;
    std::vector<std::array<int, 4>> mConstraintCodes;  // the constraints drawn: if factor, level, then factor, level
};
