#include "search/CoverageSummary.h"

CoverageSummary SummarizeCoverage(std::int32_t found, std::int32_t missing, bool violation)
{
    const QString counted = QStringLiteral("A total of ") + QString::number(found) + QStringLiteral(" combinations out of ") +
                            QString::number(std::int64_t(found) + missing) +
                            QStringLiteral(" were found in the constraints, previous test, and the test case matrix.");
    if (violation)
        return {counted + QStringLiteral(" The constraints were violated in the QXV Matrix."), 25, false};
    if (missing > 0)
        return {counted + QStringLiteral(" There are nested constraints in the design."), 26, false};
    return {counted, 34, true};
}
