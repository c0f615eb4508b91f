#include "app/CoverageChart.h"

#include "files/CoverageChartSvg.h"

#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

namespace {

double Percent(const vantrel::Requirement& requirement, std::int64_t covered)
{
    return requirement.required > 0 ? 100.0 * double(covered) / double(requirement.required) : 100.0;
}

QValueAxis* Axis(const QString& title, double max, const QString& format)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setRange(0, max);
    axis->setLabelFormat(format);
    return axis;
}

}  // namespace

QChart* MakeCoverageChart(const vantrel::Coverage& report, const QStringList& names)
{
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Coverage by test case"));
    QValueAxis* x = Axis(QStringLiteral("Test cases"), double(std::max<std::int64_t>(report.suiteRows, 1)), QStringLiteral("%d"));
    QValueAxis* y = Axis(QStringLiteral("Covered (%)"), 100, QStringLiteral("%d"));
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickInterval(std::max<double>(1, double(report.suiteRows / 10)));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    auto* full = new QScatterSeries;
    full->setMarkerSize(9);
    for (qsizetype k = 0; k < qsizetype(report.requirements.size()); ++k) {
        const vantrel::Requirement& requirement = report.requirements[std::size_t(k)];
        auto* line = new QLineSeries;
        line->append(0, Percent(requirement, requirement.coveredByPrevious));
        for (std::size_t r = 0; r < requirement.growth.size(); ++r)
            line->append(double(r + 1), Percent(requirement, requirement.growth[r]));
        const int after = FullAfter(requirement);
        line->setName(names.value(k) + (after >= 0 ? QStringLiteral(": 100% after %1").arg(after) : QString()));
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
        if (after >= 0)
            full->append(after, 100);
    }
    chart->addSeries(full);
    full->attachAxis(x);
    full->attachAxis(y);
    for (QLegendMarker* marker : chart->legend()->markers(full))
        marker->setVisible(false);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}
