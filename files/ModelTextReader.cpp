#include "files/ModelText.h"

#include "files/DesignDocumentReader.h"
#include "files/ModelTextSyntax.h"

#include <vantrel/design.hpp>

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <utility>
#include <vector>

using ModelTextSyntax::ConstraintFields;

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

// The text as read so far.
struct ReadModel {
    std::vector<FactorLine> factors;
    QHash<QString, int> factorOf;  // index in factors, by name
    QSet<std::pair<int, QString>> levels;  // (index in factors, level name) of every level
    std::vector<ConstraintFields> constraints;
    QString rules;
    int rulesFirstLine = 1;
    int firstRuleLine = 0;  // the line that ended the factors by starting a rule or a row
    ModelTextLayout layout;
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

// "(N)" at the end of a level: its weight, taken off the text.
Parsed<std::int32_t> TakeWeight(QString& text, int line, int column)
{
    const std::optional<ModelTextSyntax::WeightMark> mark = ModelTextSyntax::FindWeight(text);
    if (!mark)
        return 1;
    bool ok = false;
    const qlonglong value = mark->digits.toLongLong(&ok);
    if (!ok || value < 1 || value > ModelTextSyntax::kMaxWeight)
        return Fail(line, column + int(mark->at),
                    QStringLiteral("a weight is a whole number from 1 to %1 in parentheses").arg(ModelTextSyntax::kMaxWeight));
    text = text.left(mark->at).trimmed();
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
    if (text.startsWith(u'~')) {
        level.invalid = true;
        text = text.mid(1);
    }
    const QStringList names = text.split(u'|');
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

// The factor line of the factor with that index, its levels added to those of the model.
Parsed<FactorLine> ReadFactorLine(const QString& line, int lineNo, int index, ReadModel& model)
{
    // A carriage return that ends no line would run two lines into one factor.
    int last = int(line.size());
    while (last > 0 && line[last - 1].isSpace())
        --last;
    if (const int cr = int(QStringView(line).left(last).indexOf(u'\r')); cr >= 0)
        return Fail(lineNo, cr + 1, QStringLiteral("a carriage return within the line: lines end with LF or CR LF"));
    const int colon = int(line.indexOf(u':'));
    if (colon < 0)
        return Fail(lineNo, FirstNonBlank(line) + 1,
                    QStringLiteral("expected a factor (Name: level, level), a group ({ A, B } @ 2) or a rule"));
    FactorLine factor;
    factor.line = lineNo;
    int column = 0;
    factor.name = Piece(line, 0, colon, column);
    if (factor.name.isEmpty())
        return Fail(lineNo, column, QStringLiteral("a factor needs a name before \":\""));
    for (int from = colon + 1;;) {
        const int comma = int(line.indexOf(u',', from));
        Parsed<LevelLine> level = ReadLevel(line, lineNo, from, comma < 0 ? int(line.size()) : comma);
        if (!level)
            return Failure{level.error()};
        const qsizetype known = model.levels.size();
        model.levels.insert({index, level.value().name});
        if (model.levels.size() == known)
            return Fail(lineNo, FirstNonBlank(line, from) + 1,
                        QStringLiteral("factor %1 has the level \"%2\" twice").arg(factor.name, level.value().name));
        factor.levels.push_back(std::move(level).value());
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
    const int close = int(line.indexOf(u'}', open));
    for (int from = open + 1; from <= close;) {
        const int comma = int(line.indexOf(u',', from));
        const int to = comma < 0 || comma > close ? close : comma;
        int column = 0;
        QString name = Piece(line, from, to, column);
        if (name.startsWith(u'[') && name.endsWith(u']') && name.size() >= 2)
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

Parsed<void> CheckGroup(const GroupLine& group, const ReadModel& model)
{
    QSet<QString> seen;
    for (qsizetype k = 0; k < group.factors.size(); ++k) {
        const QString& name = group.factors[k];
        const int column = group.columns[std::size_t(k)];
        if (!model.factorOf.contains(name))
            return Fail(group.line, column, QStringLiteral("unknown factor [%1]").arg(name));
        if (seen.contains(name))
            return Fail(group.line, column, QStringLiteral("factor [%1] is twice in the group").arg(name));
        seen.insert(name);
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
        names << u'[' + name + u']';
    return QStringLiteral("{ %1 } @ %2;").arg(names.join(QStringLiteral(", "))).arg(group.strength);
}

// A line of the rules text: a group on one line, { A, B } @ 2, checked and written as the
// rules write it, with the form the text wrote it in kept; any other line as it is.
Parsed<QString> RulesLine(const QString& line, int lineNo, ReadModel& model)
{
    const int at = FirstNonBlank(line);
    if (at >= line.size() || line[at] != u'{' || !line.contains(u'}'))
        return line;
    const Parsed<GroupLine> group = ReadGroupLine(line, lineNo);
    if (!group)
        return Failure{group.error()};
    if (const Parsed<void> checked = CheckGroup(group.value(), model); !checked)
        return Failure{checked.error()};
    QString rule = GroupRule(group.value());
    if (rule != line)
        model.layout.groupLines[rule] = line;
    return rule;
}

// The Constraints row a rule line means: one of the shape a row is written as, over two
// different factors of the design and a level of each. Any other rule stays a rule.
std::optional<ConstraintFields> RowOf(const QString& line, const ReadModel& model)
{
    std::optional<ConstraintFields> row = ModelTextSyntax::ConstraintOfRule(line);
    if (!row)
        return std::nullopt;
    const auto ifFactor = model.factorOf.constFind((*row)[0]);
    const auto thenFactor = model.factorOf.constFind((*row)[2]);
    if (ifFactor == model.factorOf.cend() || thenFactor == model.factorOf.cend() || *ifFactor == *thenFactor ||
        !model.levels.contains({*ifFactor, (*row)[1]}) || !model.levels.contains({*thenFactor, (*row)[3]}))
        return std::nullopt;
    return row;
}

// The blank lines from line k on, each ended; k is left on the first that is not blank.
QString BlankLines(const QStringList& lines, int& k)
{
    QString blank;
    for (; k < lines.size() && ModelTextSyntax::IsBlank(lines[k]); ++k)
        blank += lines[k] + u'\n';
    return blank;
}

// The factor lines, each with the comment and blank lines above it, up to the first line that
// starts the rules; the line after the last factor's (0-based), where the rules part starts.
Parsed<int> ReadFactorPart(const QStringList& lines, ReadModel& model)
{
    QString above;
    int rulesPart = 0;
    for (int k = 0; k < lines.size(); ++k) {
        const QString& line = lines[k];
        if (ModelTextSyntax::StartsRules(line)) {
            model.firstRuleLine = k + 1;
            break;
        }
        if (ModelTextSyntax::IsBlank(line) || ModelTextSyntax::IsComment(line)) {
            above += line + u'\n';
            continue;
        }
        Parsed<FactorLine> factor = ReadFactorLine(line, k + 1, int(model.factors.size()), model);
        if (!factor)
            return Failure{factor.error()};
        const QString& name = factor.value().name;
        if (const auto known = model.factorOf.constFind(name); known != model.factorOf.cend())
            return Fail(k + 1, FirstNonBlank(line) + 1,
                        QStringLiteral("factor %1 is already defined on line %2")
                            .arg(name)
                            .arg(model.factors[std::size_t(*known)].line));
        model.factorOf.insert(name, int(model.factors.size()));
        model.factors.push_back(std::move(factor).value());
        if (!above.isEmpty())
            model.layout.aboveFactor[std::int32_t(model.factors.size())] = std::exchange(above, QString());
        rulesPart = k + 1;
    }
    return rulesPart;
}

// A line the rules cannot read that reads as a factor's: a name without brackets or quotes
// before a colon.
bool LooksLikeFactorLine(const QString& line)
{
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0)
        return false;
    const QStringView name = QStringView(line).left(colon);
    return !name.trimmed().isEmpty() && !name.contains(u'[') && !name.contains(u'"') &&
           !ModelTextSyntax::StartsRules(name);
}

// A factor line below the first rule is read as part of the rules, where it does not parse:
// said at that line, with the line where the rules start.
Parsed<void> CheckNoFactorAmongRules(const QStringList& rules, const ReadModel& model)
{
    vantrel::Model rulesAlone;  // without factors: where the text stops reading as rules
    rulesAlone.rules = model.rules.toStdString();
    const vantrel::Result<void> checked = vantrel::Design::CheckRules(rulesAlone);
    const qsizetype index = checked ? -1 : qsizetype(checked.error().line) - 1;
    if (index < 0 || index >= rules.size() || !LooksLikeFactorLine(rules[index]))
        return {};
    return Fail(model.rulesFirstLine + int(index), FirstNonBlank(rules[index]) + 1,
                QStringLiteral("factor lines come before the rules, which start on line %1").arg(model.firstRuleLine));
}

// The lines after the last factor's: the blank lines above the Constraints rows, the rows,
// the blank lines above the rules text, and the rules text to the end of the file.
Parsed<void> ReadRulesPart(const QStringList& lines, int from, ReadModel& model)
{
    int k = from;
    const QString aboveRows = BlankLines(lines, k);
    for (; k < lines.size(); ++k) {
        std::optional<ConstraintFields> row = RowOf(lines[k], model);
        if (!row)
            break;
        model.constraints.push_back(std::move(*row));
    }
    const bool rows = !model.constraints.empty();
    const QString aboveRules = rows ? BlankLines(lines, k) : aboveRows;
    if (rows)
        model.layout.aboveRows = aboveRows;
    const int rulesFirstLine = k + 1;
    QStringList rules;
    for (; k < lines.size(); ++k) {
        const Parsed<QString> rule = RulesLine(lines[k], k + 1, model);
        if (!rule)
            return Failure{rule.error()};
        rules << rule.value();
    }
    if (rules.isEmpty()) {
        model.layout.endLines = aboveRules;
        return {};
    }
    model.rules = rules.join(u'\n');
    model.rulesFirstLine = rulesFirstLine;
    model.layout.aboveRules = aboveRules;
    return CheckNoFactorAmongRules(rules, model);
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
    d.rules = model.rules;
    d.rulesFirstLine = model.rulesFirstLine;
    d.textLayout = model.layout;
    d.fromModelText = true;
    return d;
}

// The lines of the text without their ends ("\n" or "\r\n"); the last line's end makes no
// line of its own.
QStringList Lines(const QString& text)
{
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

// The first character that is not UTF-8 or is a control character but a tab or a line end.
Parsed<void> CheckCharacters(const QStringList& lines, bool notUtf8)
{
    for (int k = 0; k < lines.size(); ++k)
        for (qsizetype i = 0; i < lines[k].size(); ++i) {
            const char16_t c = lines[k][i].unicode();
            if (notUtf8 && c == QChar::ReplacementCharacter)
                return Fail(k + 1, int(i) + 1, QStringLiteral("the text is not UTF-8"));
            if (c < 0x20 && c != u'\t' && c != u'\r')
                return Fail(k + 1, int(i) + 1,
                            QStringLiteral("the text holds the control character %1")
                                .arg(ModelTextSyntax::CodePoint(lines[k][i])));
        }
    if (notUtf8)
        return Fail(1, 1, QStringLiteral("the text is not UTF-8"));
    return {};
}

}  // namespace

DesignFileKind KindOfDesignFile(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))  // UTF-16, for the XML reader
        return DesignFileKind::Document;
    qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (at < bytes.size() && (bytes[at] == ' ' || bytes[at] == '\t' || bytes[at] == '\r' || bytes[at] == '\n'))
        ++at;
    // An empty file is the document reader's to refuse.
    if (at == bytes.size() || bytes[at] == '<')
        return DesignFileKind::Document;
    return bytes.contains('\0') ? DesignFileKind::Neither : DesignFileKind::ModelText;
}

Result<DesignText, DesignReadFailure> ReadModelText(const QByteArray& bytes)
{
    // One byte order mark is taken off, and only one: a first name may start with U+FEFF.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString text = decoder(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    const QStringList lines = Lines(text);
    if (const Parsed<void> checked = CheckCharacters(lines, decoder.hasError()); !checked)
        return Failure{checked.error()};
    ReadModel model;
    // Written back with CR LF when the first line ends so, or a line keeps a CR at its end.
    const qsizetype firstLineEnd = text.indexOf(u'\n');
    model.layout.crLfLineEnds = (firstLineEnd > 0 && text[firstLineEnd - 1] == u'\r') ||
                                std::any_of(lines.begin(), lines.end(), [](const QString& line) { return line.endsWith(u'\r'); });
    const Parsed<int> rulesPart = ReadFactorPart(lines, model);
    if (!rulesPart)
        return Failure{rulesPart.error()};
    if (const Parsed<void> rules = ReadRulesPart(lines, rulesPart.value(), model); !rules)
        return Failure{rules.error()};
    return PutModel(model);
}
