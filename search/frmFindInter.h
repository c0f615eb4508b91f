#pragma once
// The Find Combination dialog: one level of one factor and one level of another. Shown modally;
// the caller reads the public results afterwards.

#include "model/TextTable.h"

#include <QDialog>

#include <cstdint>
#include <set>
#include <utility>

class QListWidget;
class QPushButton;

class frmFindInter : public QDialog {
    Q_OBJECT
public:
    explicit frmFindInter(QWidget* parent = nullptr);

    QListWidget* const lstFirstFactor;
    QListWidget* const lstFirstLevel;
    QListWidget* const lstSecondFactor;
    QListWidget* const lstSecondLevel;
    QPushButton* const cmdFind;
    QPushButton* const cmdCancel;
    QPushButton* const cmdHelp;

    // True when the user cancelled (Cancel or the window's close box).
    bool bUserCNX = true;
    // One-based positions chosen in the four lists; 0 when nothing is chosen.
    std::int32_t lFirstFactor = 0;
    std::int32_t lFirstLevel = 0;
    std::int32_t lSecondFactor = 0;
    std::int32_t lSecondLevel = 0;

    // Fills both factor lists with the factor names, in factor order. The invalid levels, as
    // (level, factor) of the table, are listed as test cases show them, "~" first.
    void LoadFactorsAndLevels(std::int32_t In_lNumFactors, const TextTable& In_vaFactors,
                              const LongArray& In_alLevelCount, const std::set<std::pair<int, int>>& In_invalidLevels = {});

    void cmdFind_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();
    // The close box and Escape cancel.
    void reject() override;

private:
    void FillLevels(QListWidget* levels, int factor);

    std::int32_t mlNumFactors = 0;
    TextTable mvaFactors;
    LongArray malLevelCount;
    std::set<std::pair<int, int>> mInvalidLevels;
};
