#include "files/ModelText.h"

#include "files/DesignDocumentReader.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace {

struct LevelLine {
    QString name;
    bool invalid = false;
    std::int32_t weight = 1;
    QStringList aliases;
};

struct FactorLine {
    QString name;
    int line = 0;
    std::vector<LevelLine> levels;
};

struct GroupLine {
    QStringList factors;
    std::vector<int> columns;  // of each factor's name
    int strength = 0;
    int strengthColumn = 0;
    int line = 0;
};

// A part of the text as read, or the first problem found in it.
template <typename T>
using Parsed = Result<T, DesignReadFailure>;

Failure<DesignReadFailure> Fail(int line, int column, const QString& message)
{
    return Failure{DesignReadFailure{message, line, column}};
}

int FirstNonBlank(const QString& text, int from = 0)
{
    while (from < text.size() && text[from].isSpace())
        ++from;
    return from;
}

bool StartsWithWord(const QString& text, int at, QLatin1String word)
{
    if (text.mid(at, word.size()).compare(word, Qt::CaseInsensitive) != 0)
        return false;
    const int after = at + int(word.size());
    return after >= text.size() || !(text[after].isLetterOrNumber() || text[after] == QLatin1Char('_'));
}

// The first line of the rules: it starts with IF, NOT, "[", "(" or "{" (a group).
bool StartsRules(const QString& line)
{
    const int at = FirstNonBlank(line);
    if (at >= line.size())
        return false;
    return line[at] == QLatin1Char('[') || line[at] == QLatin1Char('(') || line[at] == QLatin1Char('{') ||
           StartsWithWord(line, at, QLatin1String("IF")) ||
           StartsWithWord(line, at, QLatin1String("NOT"));
}

// The text between from and to (exclusive), trimmed, and the column where it starts.
QString Piece(const QString& line, int from, int to, int& column)
{
    const int start = FirstNonBlank(line, from);
    int end = to;
    while (end > start && line[end - 1].isSpace())
        --end;
    column = std::min(start, to) + 1;
    return line.mid(start, std::max(0, end - start));
}

// "(N)" at the end of a level: its weight, taken off the text. A parenthesis that holds
// anything but digits and blanks belongs to the name ("Windows (x64)").
Parsed<std::int32_t> TakeWeight(QString& text, int line, int column)
{
    static const QRegularExpression weight(QStringLiteral("\\(\\s*([0-9]*)\\s*\\)$"));
    const QRegularExpressionMatch match = weight.match(text);
    if (!match.hasMatch())
        return 1;
    const QString digits = match.captured(1);
    bool ok = false;
    const qlonglong value = digits.toLongLong(&ok);
    if (!ok || value < 1 || value > 1'000'000)
        return Fail(line, column + int(match.capturedStart()),
                    QStringLiteral("a weight is a whole number from 1 to 1000000 in parentheses"));
    text = text.left(match.capturedStart()).trimmed();
    return std::int32_t(value);
}

Parsed<LevelLine> ReadLevel(const QString& line, int lineNo, int from, int to)
{
    int column = 0;
    QString text = Piece(line, from, to, column);
    if (text.isEmpty())
        return Fail(lineNo, column, QStringLiteral("empty level"));
    LevelLine level;
    const Parsed<std::int32_t> weight = TakeWeight(text, lineNo, column);
    if (!weight)
        return Failure{weight.error()};
    level.weight = weight.value();
    if (text.startsWith(QLatin1Char('~'))) {
        level.invalid = true;
        text = text.mid(1);
    }
    const QStringList names = text.split(QLatin1Char('|'));
    for (qsizetype k = 0; k < names.size(); ++k) {
        const QString name = names[k].trimmed();
        if (name.isEmpty())
            return Fail(lineNo, column,
                        k == 0 ? QStringLiteral("a level needs a name") : QStringLiteral("empty alias"));
        if (k == 0)
            level.name = name;
        else
            level.aliases << name;
    }
    return level;
}

Parsed<FactorLine> ReadFactorLine(const QString& line, int lineNo)
{
    const int colon = int(line.indexOf(QLatin1Char(':')));
    if (colon < 0)
        return Fail(lineNo, FirstNonBlank(line) + 1,
                    QStringLiteral("expected a factor (Name: level, level), a group ({ A, B } @ 2) or a rule"));
    FactorLine factor;
    factor.line = lineNo;
    int column = 0;
    factor.name = Piece(line, 0, colon, column);
    if (factor.name.isEmpty())
        return Fail(lineNo, column, QStringLiteral("a factor needs a name before \":\""));
    int from = colon + 1;
    for (;;) {
        const int comma = int(line.indexOf(QLatin1Char(','), from));
        const int to = comma < 0 ? int(line.size()) : comma;
        Parsed<LevelLine> level = ReadLevel(line, lineNo, from, to);
        if (!level)
            return Failure{level.error()};
        factor.levels.push_back(std::move(level).value());
        for (std::size_t k = 0; k + 1 < factor.levels.size(); ++k)
            if (factor.levels[k].name == factor.levels.back().name)
                return Fail(lineNo, FirstNonBlank(line, from) + 1,
                            QStringLiteral("factor %1 has the level \"%2\" twice")
                                .arg(factor.name, factor.levels.back().name));
        if (comma < 0)
            return factor;
        from = comma + 1;
    }
}

Parsed<GroupLine> ReadGroupLine(const QString& line, int lineNo)
{
    GroupLine group;
    group.line = lineNo;
    const int open = FirstNonBlank(line);
    const int close = int(line.indexOf(QLatin1Char('}'), open));
    for (int from = open + 1; from <= close;) {
        const int comma = int(line.indexOf(QLatin1Char(','), from));
        const int to = comma < 0 || comma > close ? close : comma;
        int column = 0;
        QString name = Piece(line, from, to, column);
        if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')) && name.size() >= 2)
            name = name.mid(1, name.size() - 2).trimmed();
        if (name.isEmpty())
            return Fail(lineNo, column, QStringLiteral("expected a factor's name in the group"));
        group.factors << name;
        group.columns.push_back(column);
        from = to + 1;
    }
    static const QRegularExpression strength(QStringLiteral("^\\s*@\\s*([0-9]+)\\s*;?\\s*$"));
    const QRegularExpressionMatch match = strength.match(line.mid(close + 1));
    if (!match.hasMatch())
        return Fail(lineNo, FirstNonBlank(line, close + 1) + 1,
                    QStringLiteral("expected @ and the group's strength after }"));
    group.strength = match.captured(1).toInt();
    group.strengthColumn = close + 1 + int(match.capturedStart(1)) + 1;
    return group;
}

Parsed<void> CheckGroup(const GroupLine& group, const std::vector<FactorLine>& factors)
{
    for (qsizetype k = 0; k < group.factors.size(); ++k) {
        const QString& name = group.factors[k];
        const int column = group.columns[std::size_t(k)];
        if (std::none_of(factors.begin(), factors.end(), [&](const FactorLine& f) { return f.name == name; }))
            return Fail(group.line, column, QStringLiteral("unknown factor [%1]").arg(name));
        if (group.factors.indexOf(name) < k)
            return Fail(group.line, column, QStringLiteral("factor [%1] is twice in the group").arg(name));
    }
    if (group.strength < 2 || group.strength > 6)
        return Fail(group.line, group.strengthColumn,
                    QStringLiteral("group strength must be from 2 to 6, found %1").arg(group.strength));
    if (group.strength > group.factors.size())
        return Fail(group.line, group.strengthColumn,
                    QStringLiteral("group strength %1 is larger than its %2 factors")
                        .arg(group.strength)
                        .arg(group.factors.size()));
    return {};
}

QString GroupRule(const GroupLine& group)
{
    QStringList names;
    for (const QString& name : group.factors)
        names << QLatin1Char('[') + name + QLatin1Char(']');
    return QStringLiteral("{ %1 } @ %2;").arg(names.join(QStringLiteral(", "))).arg(group.strength);
}

// A rule of the one shape a Constraints row is written as, read back as that row.
std::optional<std::array<QString, 4>> ConstraintOf(const QString& line)
{
    static const QRegularExpression row(QStringLiteral(
        "^\\s*IF \\[([^\\]]+)\\] = \"((?:[^\"\\\\]|\\\\.)*)\" THEN \\[([^\\]]+)\\] <> \"((?:[^\"\\\\]|\\\\.)*)\";\\s*$"));
    const QRegularExpressionMatch match = row.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    const auto unescaped = [](QString text) {
        static const QRegularExpression escape(QStringLiteral("\\\\(.)"));
        return text.replace(escape, QStringLiteral("\\1"));
    };
    return std::array<QString, 4>{match.captured(1), unescaped(match.captured(2)), match.captured(3),
                                  unescaped(match.captured(4))};
}

struct ReadModel {
    std::vector<FactorLine> factors;
    std::vector<std::array<QString, 4>> constraints;
    QStringList rules;
    int rulesFirstLine = 1;
};

// A group on one line, { A, B } @ 2, checked and written as the rules write it; other lines
// are the rules' own.
Parsed<QString> RulesLine(const QString& line, int lineNo, const std::vector<FactorLine>& factors)
{
    const int at = FirstNonBlank(line);
    if (at >= line.size() || line[at] != QLatin1Char('{') || !line.contains(QLatin1Char('}')))
        return line;
    const Parsed<GroupLine> group = ReadGroupLine(line, lineNo);
    if (!group)
        return Failure{group.error()};
    if (const Parsed<void> checked = CheckGroup(group.value(), factors); !checked)
        return Failure{checked.error()};
    return GroupRule(group.value());
}

// The rules part, from its first line: the Constraints rows it starts with, then the rest from
// its first line that is not blank.
Parsed<void> ReadRulesPart(const QStringList& lines, int first, ReadModel& model)
{
    int k = first;
    for (; k < lines.size(); ++k) {
        if (lines[k].trimmed().isEmpty())
            continue;
        const std::optional<std::array<QString, 4>> row = ConstraintOf(lines[k]);
        if (!row)
            break;
        model.constraints.push_back(*row);
    }
    model.rulesFirstLine = k + 1;
    for (; k < lines.size(); ++k) {
        const Parsed<QString> rule = RulesLine(lines[k], k + 1, model.factors);
        if (!rule)
            return Failure{rule.error()};
        model.rules << rule.value();
    }
    return {};
}

Parsed<ReadModel> ReadLines(const QStringList& lines)
{
    ReadModel model;
    int lastFactorLine = -1;
    for (int k = 0; k < lines.size(); ++k) {
        const QString& line = lines[k];
        const int at = FirstNonBlank(line);
        if (at >= line.size() || line[at] == QLatin1Char('#'))
            continue;
        if (StartsRules(line)) {
            // The comments after the last factor are the rules text's own.
            if (const Parsed<void> rules = ReadRulesPart(lines, lastFactorLine + 1, model); !rules)
                return Failure{rules.error()};
            break;
        }
        lastFactorLine = k;
        Parsed<FactorLine> factor = ReadFactorLine(line, k + 1);
        if (!factor)
            return Failure{factor.error()};
        model.factors.push_back(std::move(factor).value());
        for (std::size_t f = 0; f + 1 < model.factors.size(); ++f)
            if (model.factors[f].name == model.factors.back().name)
                return Fail(k + 1, at + 1,
                            QStringLiteral("factor %1 is already defined on line %2")
                                .arg(model.factors.back().name)
                                .arg(model.factors[f].line));
    }
    return model;
}

Parsed<void> PutFactors(const ReadModel& model, DesignText& d)
{
    const auto n = std::int32_t(model.factors.size());
    d.numFactors = n;
    d.levelCounts = LongArray(1, n);
    for (std::int32_t f = 1; f <= n; ++f) {
        d.levelCounts(f) = std::int32_t(model.factors[std::size_t(f - 1)].levels.size());
        d.maxNumLevels = std::max(d.maxNumLevels, d.levelCounts(f));
    }
    if (const std::optional<QString> tooLarge = WhyFactorTableTooLarge(n, d.maxNumLevels))
        return Fail(1, 1, *tooLarge);
    d.factors = TextTable(0, d.maxNumLevels, 1, n);
    for (std::int32_t f = 1; f <= n; ++f) {
        const FactorLine& factor = model.factors[std::size_t(f - 1)];
        d.factors(0, f) = factor.name;
        for (std::int32_t j = 1; j <= d.levelCounts(f); ++j) {
            const LevelLine& level = factor.levels[std::size_t(j - 1)];
            d.factors(j, f) = level.name;
            if (level.invalid)
                d.invalidLevels.emplace(j, f);
            if (level.weight > 1)
                d.levelWeights[{j, f}] = level.weight;
            if (!level.aliases.isEmpty())
                d.levelAliases[{j, f}] = level.aliases;
        }
    }
    return {};
}

Parsed<DesignText> PutModel(const ReadModel& model)
{
    DesignText d;
    if (const Parsed<void> factors = PutFactors(model, d); !factors)
        return Failure{factors.error()};
    d.numConstraints = std::int32_t(model.constraints.size());
    if (d.numConstraints > 0)
        d.constraints = TextTable(1, d.numConstraints, 1, 4);
    for (std::int32_t c = 1; c <= d.numConstraints; ++c)
        for (int k = 1; k <= 4; ++k)
            d.constraints(c, k) = model.constraints[std::size_t(c - 1)][std::size_t(k - 1)];
    d.rules = model.rules.join(QLatin1Char('\n'));
    d.rulesFirstLine = model.rulesFirstLine;
    d.fromModelText = true;
    return d;
}

// The lines of the text without their ends; the last line's end makes no line of its own.
QStringList Lines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return lines;
}

}  // namespace

bool IsModelText(const QByteArray& bytes)
{
    // Control characters (but tab and line ends) mark a binary file, for the document reader to refuse.
    const bool binary = std::any_of(bytes.begin(), bytes.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
    });
    if (bytes.isEmpty() || binary)
        return false;
    qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (at < bytes.size() && (bytes[at] == ' ' || bytes[at] == '\t' || bytes[at] == '\r' || bytes[at] == '\n'))
        ++at;
    return at < bytes.size() && bytes[at] != '<';
}

Result<DesignText, DesignReadFailure> ReadModelText(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    const QStringList lines = Lines(text);
    if (decoder.hasError()) {
        for (int k = 0; k < lines.size(); ++k)
            if (const qsizetype bad = lines[k].indexOf(QChar(QChar::ReplacementCharacter)); bad >= 0)
                return Fail(k + 1, int(bad) + 1, QStringLiteral("the text is not UTF-8"));
        return Fail(1, 1, QStringLiteral("the text is not UTF-8"));
    }
    const Parsed<ReadModel> model = ReadLines(lines);
    if (!model)
        return Failure{model.error()};
    return PutModel(model.value());
}
