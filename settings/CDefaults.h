#pragma once
// The program's settings: the number of evolutions of the n-way search, whether and how
// long its matrix is compacted afterwards, the strength Generate N-Way used last, and the
// main window's placement. They are read once when the main window loads (LoadDefaults) and
// written once at exit (SaveDefaults); in between only these members change.
//
// The settings key is ".Default\Software\Corvantis\Vantrel" with the value
// "lMaxNumEvolutions" (text), "bCompactTestCases" (text, "1" or "0"), "lCompactEffort"
// (text, thousands of moves), "bTimeLimit" (text, "1" or "0") and "lTimeLimitSeconds" (text)
// and "lStrength" (text, 2 to 6, 3 when missing or out of range);
// the window's placement lives in its subkey "frmMain":
// "Maximized" (integer, 1 or 0) and "Left", "Top", "Width", "Height" (text, twips).
// Failures of the store never reach the user: reads fall back to 1000 evolutions, no
// compaction at an effort of 1000, no time limit (60 seconds when set), and a maximized
// window; writes are skipped.

#include <QString>

#include <cstdint>

class MainWindowPlacement;

class CDefaults {
public:
    // Fills strHelpPath and, the first time the program runs, creates the settings key
    // with 1000 evolutions.
    CDefaults();

    std::int32_t lMaxNumEvolutions = 1000;
    bool bCompactTestCases = false;
    std::int32_t lCompactEffort = 1000;  // thousands of moves
    // Stop after lTimeLimitSeconds: the whole generation within that wall time, the evolutions
    // while half of it lasts (the first always), then compaction; off by default.
    bool bTimeLimit = false;
    std::int32_t lTimeLimitSeconds = 60;
    std::int32_t lStrength = 3;          // of Generate N-Way
    bool bMaximize = false;
    std::int32_t lTop = 0;
    std::int32_t lLeft = 0;
    std::int32_t lHeight = 0;
    std::int32_t lWidth = 0;
    QString strHelpPath;

    void LoadDefaults();
    void SaveDefaults();

    std::int32_t ReadMaxNumEvolutionsFromRegistry();
    void WriteMaxNumEvolutionsToRegistry(std::int32_t lValue);
    void ReadCompactionFromRegistry(bool& compact, std::int32_t& effortThousands);
    void WriteCompactionToRegistry(bool compact, std::int32_t effortThousands);
    void ReadTimeLimitFromRegistry(bool& limited, std::int32_t& seconds);
    void WriteTimeLimitToRegistry(bool limited, std::int32_t seconds);
    void ReadMainFormsCoordsFromReg(bool& Ret_bMaximized, std::int32_t& Ret_lLeft, std::int32_t& Ret_lTop,
                                    std::int32_t& Ret_lWidth, std::int32_t& Ret_lHeight);
    // Writes the placement of the main window given to setMainWindow; without one
    // nothing is written.
    void WriteMainFormsCoordsToReg();

    // The main window registers itself when it loads and withdraws when it goes.
    void setMainWindow(const MainWindowPlacement* window) { mMainWindow = window; }

    static const QString kSettingsKey;    // ".Default\Software\Corvantis\Vantrel"
    static const QString kMainWindowKey;  // kSettingsKey + "\frmMain"

private:
    const MainWindowPlacement* mMainWindow = nullptr;
};
