#include "files/ModelTextSyntax.h"

#include <QRegularExpression>

namespace ModelTextSyntax {

namespace {

qsizetype FirstNonBlank(QStringView text)
{
    qsizetype at = 0;
    while (at < text.size() && text[at].isSpace())
        ++at;
    return at;
}

bool StartsWithWord(QStringView text, QLatin1StringView word)
{
    if (!text.startsWith(word, Qt::CaseInsensitive))
        return false;
    const qsizetype after = word.size();
    return after >= text.size() || !(text[after].isLetterOrNumber() || text[after] == u'_');
}

QString Quoted(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + text + u'"';
}

}  // namespace

bool IsBlank(QStringView line) { return FirstNonBlank(line) == line.size(); }

bool IsComment(QStringView line)
{
    const qsizetype at = FirstNonBlank(line);
    return at < line.size() && line[at] == u'#';
}

bool StartsRules(QStringView line)
{
    const QStringView text = line.mid(FirstNonBlank(line));
    if (text.isEmpty())
        return false;
    return text[0] == u'[' || text[0] == u'(' || text[0] == u'{' || StartsWithWord(text, QLatin1StringView("IF")) ||
           StartsWithWord(text, QLatin1StringView("NOT"));
}

std::optional<WeightMark> FindWeight(QStringView level)
{
    // Read from the end: ")", blanks, digits, blanks, "(".
    qsizetype at = level.size();
    if (at == 0 || level[at - 1] != u')')
        return std::nullopt;
    --at;
    const auto skipBlanks = [&] {
        while (at > 0 && level[at - 1].isSpace())
            --at;
    };
    skipBlanks();
    const qsizetype digitsEnd = at;
    while (at > 0 && level[at - 1] >= u'0' && level[at - 1] <= u'9')
        --at;
    if (at == digitsEnd)
        return std::nullopt;
    const qsizetype digitsStart = at;
    skipBlanks();
    if (at == 0 || level[at - 1] != u'(')
        return std::nullopt;
    return WeightMark{at - 1, level.mid(digitsStart, digitsEnd - digitsStart)};
}

QString ConstraintRule(const ConstraintFields& row)
{
    return QStringLiteral("IF [%1] = %2 THEN [%3] <> %4;").arg(row[0], Quoted(row[1]), row[2], Quoted(row[3]));
}

std::optional<ConstraintFields> ConstraintOfRule(const QString& line)
{
    static const QRegularExpression rule(QStringLiteral(
        "^\\s*IF \\[([^\\]]+)\\] = \"((?:[^\"\\\\]|\\\\.)*)\" THEN \\[([^\\]]+)\\] <> \"((?:[^\"\\\\]|\\\\.)*)\";\\s*$"));
    const QRegularExpressionMatch match = rule.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    const auto unescaped = [](QString text) {
        static const QRegularExpression escape(QStringLiteral("\\\\(.)"));
        return text.replace(escape, QStringLiteral("\\1"));
    };
    return ConstraintFields{match.captured(1), unescaped(match.captured(2)), match.captured(3),
                            unescaped(match.captured(4))};
}

QString CodePoint(QChar c) { return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper(); }

}  // namespace ModelTextSyntax
