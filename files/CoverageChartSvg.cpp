#include "files/CoverageChartSvg.h"

#include <QString>

#include <algorithm>

namespace {

constexpr double kWidth = 720, kHeight = 420;
constexpr double kLeft = 64, kRight = 24, kTop = 48, kBottom = 56;
const char* const kColours[] = {"#1f6fb4", "#d9730d", "#2e8b57", "#a23b72", "#6b5b95", "#8c564b"};

double Share(const vantrel::Requirement& requirement, std::int64_t covered)
{
    return requirement.required > 0 ? double(covered) / double(requirement.required) : 1.0;
}

QString Number(double value) { return QString::number(value, 'f', 1); }

struct Plot {
    int rows = 0;
    double X(double row) const { return kLeft + (kWidth - kLeft - kRight) * (rows > 0 ? row / rows : 0); }
    double Y(double share) const { return kTop + (kHeight - kTop - kBottom) * (1.0 - share); }
};

QString Axes(const Plot& plot)
{
    QString svg;
    for (int percent = 0; percent <= 100; percent += 25) {
        const double y = plot.Y(percent / 100.0);
        svg += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\" stroke=\"#dddddd\"/>\n"
                              "<text x=\"%4\" y=\"%5\" text-anchor=\"end\">%6%</text>\n")
                   .arg(Number(kLeft), Number(y), Number(kWidth - kRight), Number(kLeft - 6), Number(y + 4))
                   .arg(percent);
    }
    const int step = std::max(1, plot.rows / 10);
    for (int row = 0; row <= plot.rows; row += step)
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"middle\">%3</text>\n")
                   .arg(Number(plot.X(row)), Number(kHeight - kBottom + 18))
                   .arg(row);
    svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"middle\">Test cases</text>\n")
               .arg(Number((kLeft + kWidth - kRight) / 2), Number(kHeight - 12));
    return svg;
}

QString Series(const Plot& plot, const vantrel::Requirement& requirement, const QString& name, int index)
{
    const QString colour = QString::fromLatin1(kColours[index % 6]);
    QString points = Number(plot.X(0)) + QLatin1Char(',') + Number(plot.Y(Share(requirement, requirement.coveredByPrevious)));
    for (size_t r = 0; r < requirement.growth.size(); ++r)
        points += QLatin1Char(' ') + Number(plot.X(double(r + 1))) + QLatin1Char(',') +
                  Number(plot.Y(Share(requirement, requirement.growth[r])));
    QString svg = QStringLiteral("<polyline fill=\"none\" stroke=\"%1\" stroke-width=\"2\" points=\"%2\"/>\n").arg(colour, points);
    const int full = FullAfter(requirement);
    if (full >= 0)
        svg += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"4\" fill=\"%3\"><title>100% after %4 test cases</title></circle>\n")
                   .arg(Number(plot.X(full)), Number(plot.Y(1.0)), colour)
                   .arg(full);
    const double legendY = 20 + 16 * index;
    svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"12\" height=\"4\" fill=\"%3\"/>\n"
                          "<text x=\"%4\" y=\"%5\">%6</text>\n")
               .arg(Number(kWidth - 260), Number(legendY - 4), colour, Number(kWidth - 242), Number(legendY))
               .arg((name + (full >= 0 ? QStringLiteral(": 100% after %1").arg(full) : QString())).toHtmlEscaped());
    return svg;
}

}  // namespace

int FullAfter(const vantrel::Requirement& requirement)
{
    if (requirement.coveredByPrevious >= requirement.required)
        return 0;
    for (size_t r = 0; r < requirement.growth.size(); ++r)
        if (requirement.growth[r] >= requirement.required)
            return int(r) + 1;
    return -1;
}

QByteArray CoverageChartSvg(const vantrel::Coverage& report, const QStringList& names)
{
    Plot plot;
    plot.rows = int(report.suiteRows);
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" "
                                 "viewBox=\"0 0 %1 %2\" font-family=\"sans-serif\" font-size=\"12\">\n"
                                 "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
                                 "<text x=\"%3\" y=\"24\" font-size=\"15\">Coverage by test case</text>\n")
                      .arg(kWidth)
                      .arg(kHeight)
                      .arg(Number(kLeft));
    svg += Axes(plot);
    for (size_t k = 0; k < report.requirements.size(); ++k)
        svg += Series(plot, report.requirements[k], k < size_t(names.size()) ? names[qsizetype(k)] : QString(), int(k));
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}
