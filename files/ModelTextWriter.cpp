#include "files/ModelText.h"

#include <QRegularExpression>

namespace {

// Why a name cannot stand in a model text as written, or "" when it can.
QString NameProblem(const QString& name, const QString& forbidden)
{
    if (name.isEmpty())
        return QStringLiteral("it is empty");
    if (name != name.trimmed())
        return QStringLiteral("it starts or ends with a blank");
    for (const QChar c : name) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return QStringLiteral("it holds a line break");
        if (forbidden.contains(c))
            return QStringLiteral("it holds \"%1\"").arg(c);
    }
    return {};
}

QString FactorNameProblem(const QString& name)
{
    const QString problem = NameProblem(name, QStringLiteral(":"));
    if (!problem.isEmpty())
        return problem;
    static const QRegularExpression startsOtherLine(QStringLiteral("^(#|\\{|\\[|\\(|(IF|NOT)(\\W|$))"),
                                                    QRegularExpression::CaseInsensitiveOption);
    if (startsOtherLine.match(name).hasMatch())
        return QStringLiteral("it would read as a comment, a group or a rule");
    return {};
}

QString LevelNameProblem(const QString& name)
{
    const QString problem = NameProblem(name, QStringLiteral(",|"));
    if (!problem.isEmpty())
        return problem;
    if (name.startsWith(QLatin1Char('~')))
        return QStringLiteral("it starts with \"~\", which marks an invalid level");
    static const QRegularExpression weight(QStringLiteral("\\(\\s*[0-9]*\\s*\\)$"));
    if (weight.match(name).hasMatch())
        return QStringLiteral("it ends with what reads as a weight");
    return {};
}

QString Quoted(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

Result<QString> FactorLine(const DesignText& d, int f)
{
    const QString& name = d.factors.at(0, f);
    if (const QString problem = FactorNameProblem(name); !problem.isEmpty())
        return Failure{QStringLiteral("The factor \"%1\" cannot be written as model text: %2.").arg(name, problem)};
    QStringList levels;
    for (int j = 1; j <= d.levelCounts.at(f); ++j) {
        const QString& level = d.factors.at(j, f);
        QStringList names{level};
        if (const auto aliases = d.levelAliases.find({j, f}); aliases != d.levelAliases.end())
            names << aliases->second;
        for (const QString& each : names)
            if (const QString problem = LevelNameProblem(each); !problem.isEmpty())
                return Failure{QStringLiteral("The level \"%1\" of factor %2 cannot be written as model text: %3.")
                                   .arg(each, name, problem)};
        QString text = names.join(QStringLiteral(" | "));
        if (d.invalidLevels.contains({j, f}))
            text.prepend(QLatin1Char('~'));
        if (const auto weight = d.levelWeights.find({j, f}); weight != d.levelWeights.end())
            text += QStringLiteral(" (%1)").arg(weight->second);
        levels << text;
    }
    return name + QStringLiteral(": ") + levels.join(QStringLiteral(", ")) + QLatin1Char('\n');
}

Result<QString> ConstraintLine(const DesignText& d, int c)
{
    for (const int k : {1, 3})
        if (d.constraints.at(c, k).contains(QLatin1Char(']')))
            return Failure{QStringLiteral("Constraint %1 cannot be written as a rule: the factor \"%2\" holds \"]\".")
                               .arg(c)
                               .arg(d.constraints.at(c, k))};
    return QStringLiteral("IF [%1] = %2 THEN [%3] <> %4;\n")
        .arg(d.constraints.at(c, 1), Quoted(d.constraints.at(c, 2)), d.constraints.at(c, 3),
             Quoted(d.constraints.at(c, 4)));
}

}  // namespace

Result<QByteArray> WriteModelText(const DesignText& design)
{
    QString out;
    for (int f = 1; f <= design.numFactors; ++f) {
        const Result<QString> line = FactorLine(design, f);
        if (!line)
            return Failure{line.error()};
        out += line.value();
    }
    if (design.numConstraints > 0)
        out += QLatin1Char('\n');
    for (int c = 1; c <= design.numConstraints; ++c) {
        const Result<QString> line = ConstraintLine(design, c);
        if (!line)
            return Failure{line.error()};
        out += line.value();
    }
    // The rules text, each of its lines ended (a last empty line included, so that it reads back).
    if (!design.rules.isEmpty())
        out += QLatin1Char('\n') + design.rules + QLatin1Char('\n');
    return out.toUtf8();
}
