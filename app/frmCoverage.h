#pragma once
// The Coverage view: what the Test Cases sheet covers of what the design requires, from the
// coverage report. A chart of the share covered after each test case for each requirement;
// for each two factors, how many of their combinations are covered, coloured by the share; the
// combinations missing and those that cannot occur, and the test cases that cover nothing,
// each with why. Selecting one shows its rule on the Rules sheet, its Constraints row or its
// test case. The chart is exported as a picture (PNG or SVG) and printed.

#include "app/CommandDesign.h"
#include "app/DesktopContext.h"

#include <QWidget>

#include <memory>
#include <vector>

class QChartView;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

class frmCoverage : public QWidget {
    Q_OBJECT
public:
    // At most so many combinations and test cases are listed.
    static constexpr int kMaxListed = 5000;

    // A window of its own over the context's main window.
    explicit frmCoverage(const CommandContext& context);
    ~frmCoverage() override;

    // Reads the design (its messages shown where it does not read) and the Test Cases sheet
    // afresh, at the strength chosen.
    void Refresh();
    // The chart as a picture: PNG, or SVG for a name ending in ".svg".
    void ExportPicture();
    void PrintView();

    QLabel* const lblSummary;
    QSpinBox* const spnStrength;
    QTabWidget* const tabs;
    QChartView* const chartView;
    QTableWidget* const tblPairs;
    QTableWidget* const tblCombinations;
    QLabel* const lblDetail;
    QPushButton* const cmdRefresh;
    QPushButton* const cmdExport;
    QPushButton* const cmdPrint;
    QPushButton* const cmdHelp;

private:
    // A line of the combinations' list.
    struct Listed {
        enum class Kind { Missing, CannotOccur, TestCase } kind;
        std::size_t index;  // in the report's missing, excluded or problem rows
        vantrel::Reason reason;
    };

    void LayOut();
    void FillChart();
    void FillPairs();
    void FillCombinations();
    void AddListed(Listed listed, const QString& what, const QString& levels, const QString& why);
    void ShowSelected();
    void ShowProblemRow(const vantrel::ProblemRow& row);
    QString ExampleText(const std::vector<vantrel::LevelRef>& levels);
    QStringList RequirementNames() const;

    CommandContext mContext;
    CommandDesign mDesign;
    bool mRead = false;
    vantrel::Coverage mReport;
    std::vector<Listed> mListed;
};
