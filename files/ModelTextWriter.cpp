#include "files/ModelText.h"

#include "files/ModelTextSyntax.h"

#include <QSet>

namespace {

// A refusal names this many problems and counts the others.
constexpr qsizetype kShownProblems = 20;

// Why the text cannot stand in a model text as it is: a character that a text file does not
// hold (a control character but a tab, half of a surrogate pair), or a line break where
// lineBreaks is false; "" when it can.
QString CharacterProblem(QStringView text, bool lineBreaks)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\n' || c == u'\r') {
            if (!lineBreaks)
                return QStringLiteral("it holds a line break");
        } else if (c.unicode() < 0x20 && c != u'\t') {
            return QStringLiteral("it holds the control character %1").arg(ModelTextSyntax::CodePoint(c));
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return QStringLiteral("it holds %1, half of a character").arg(ModelTextSyntax::CodePoint(c));
        }
    }
    return {};
}

// Why a name cannot stand in a model text as written, or "" when it can.
QString NameProblem(const QString& name, QStringView forbidden)
{
    if (name.isEmpty())
        return QStringLiteral("it is empty");
    if (name != name.trimmed())
        return QStringLiteral("it starts or ends with a blank");
    if (const QString problem = CharacterProblem(name, false); !problem.isEmpty())
        return problem;
    for (const QChar c : forbidden)
        if (name.contains(c))
            return QStringLiteral("it holds \"%1\"").arg(c);
    return {};
}

QString FactorNameProblem(const QString& name)
{
    const QString problem = NameProblem(name, u":");
    if (!problem.isEmpty())
        return problem;
    if (ModelTextSyntax::IsComment(name) || ModelTextSyntax::StartsRules(name))
        return QStringLiteral("it would read as a comment, a group or a rule");
    return {};
}

// Why one of a level's names cannot stand where it is written, or "": its own name first
// (after the "~" of an invalid level, which tells it from one), then its other names.
QString LevelNameProblem(const QString& name, bool marksInvalid)
{
    const QString problem = NameProblem(name, u",|");
    if (!problem.isEmpty())
        return problem;
    if (marksInvalid && name.startsWith(u'~'))
        return QStringLiteral("it starts with \"~\", which marks an invalid level");
    return {};
}

// Every line of text ends with "\n", and each one is what isKept says.
template <typename IsKept>
bool AreLines(const QString& text, IsKept isKept)
{
    if (!text.endsWith(u'\n'))
        return false;
    for (const QStringView line : QStringView(text).chopped(1).split(u'\n'))
        if (!isKept(line))
            return false;
    return true;
}

// The blank lines the layout keeps (none, maybe), or the one blank line of a text written afresh.
QString BlankLinesOr(const QString& kept)
{
    return kept.isEmpty() || AreLines(kept, ModelTextSyntax::IsBlank) ? kept : QStringLiteral("\n");
}

// The design's text as it is written, and every problem met on the way.
class TextWriting {
public:
    explicit TextWriting(const DesignText& design) : d(design) {}

    void Factors()
    {
        QSet<QString> names;
        for (int f = 1; f <= d.numFactors; ++f) {
            Comments(f);
            const QString& name = d.factors.at(0, f);
            if (const QString problem = FactorNameProblem(name); !problem.isEmpty())
                Refuse(QStringLiteral("The factor \"%1\" cannot be written as model text: %2.").arg(name, problem));
            if (names.contains(name))
                Refuse(QStringLiteral("The factor \"%1\" cannot be written as model text: the design has two "
                                      "factors of that name.")
                           .arg(name));
            if (d.levelCounts.at(f) < 1)
                Refuse(QStringLiteral("The factor \"%1\" cannot be written as model text: it has no level.").arg(name));
            names.insert(name);
            out += name + QStringLiteral(": ") + Levels(f).join(QStringLiteral(", ")) + u'\n';
        }
    }

    void ConstraintsAndRules()
    {
        QString rows;
        for (int c = 1; c <= d.numConstraints; ++c)
            rows += ConstraintLine(c) + u'\n';
        const QString rules = RulesLines(!rows.isEmpty());
        if (!rows.isEmpty())
            out += BlankLinesOr(d.textLayout.aboveRows) + rows;
        if (!rules.isEmpty())
            out += BlankLinesOr(d.textLayout.aboveRules) + rules;
        else if (!out.isEmpty())
            out += BlankLinesOr(d.textLayout.endLines);
    }

    Result<QByteArray> Written() const;

private:
    void Refuse(const QString& problem) { problems << problem; }
    void Comments(int f);
    QStringList Levels(int f);
    QString LevelText(int j, int f);
    void RefuseLevel(const QString& name, int f, const QString& why);
    QString ConstraintLine(int c);
    QString RulesLines(bool afterRows);

    const DesignText& d;
    QString out;
    QStringList problems;
    QSet<std::pair<int, QString>> levelNames;  // (factor, level name) of the levels written
};

void TextWriting::Comments(int f)
{
    const auto above = d.textLayout.aboveFactor.find(f);
    if (above == d.textLayout.aboveFactor.end() || above->second.isEmpty())
        return;
    QString comments = above->second;
    if (!comments.endsWith(u'\n'))
        comments += u'\n';
    const auto kept = [](QStringView line) {
        return ModelTextSyntax::IsBlank(line) || ModelTextSyntax::IsComment(line);
    };
    if (const QString problem = CharacterProblem(comments, true); !problem.isEmpty())
        Refuse(QStringLiteral("The comments above factor %1 cannot be written as model text: %2.")
                   .arg(d.factors.at(0, f), problem));
    else if (!AreLines(comments, kept))
        Refuse(QStringLiteral("The comments above factor %1 cannot be written as model text: a line of them is "
                              "neither blank nor a comment.")
                   .arg(d.factors.at(0, f)));
    out += comments;
}

QStringList TextWriting::Levels(int f)
{
    QStringList levels;
    for (int j = 1; j <= d.levelCounts.at(f); ++j) {
        const qsizetype known = levelNames.size();
        levelNames.insert({f, d.factors.at(j, f)});
        if (levelNames.size() == known)
            RefuseLevel(d.factors.at(j, f), f, QStringLiteral("the factor has two levels of that name"));
        levels << LevelText(j, f);
    }
    return levels;
}

// The level as its factor's line writes it: "~name | other name (N)". A text that ends in what
// reads as a weight gets its weight written, 1 too, which the reader takes off instead.
QString TextWriting::LevelText(int j, int f)
{
    const bool invalid = d.invalidLevels.contains({j, f});
    QStringList names{d.factors.at(j, f)};
    if (const auto aliases = d.levelAliases.find({j, f}); aliases != d.levelAliases.end())
        names << aliases->second;
    for (qsizetype k = 0; k < names.size(); ++k)
        if (const QString problem = LevelNameProblem(names[k], k == 0 && !invalid); !problem.isEmpty())
            RefuseLevel(names[k], f, problem);
    const QString text = (invalid ? QStringLiteral("~") : QString()) + names.join(QStringLiteral(" | "));
    const auto found = d.levelWeights.find({j, f});
    const std::int32_t weight = found == d.levelWeights.end() ? 1 : found->second;
    if (weight < 1 || weight > ModelTextSyntax::kMaxWeight)
        RefuseLevel(names[0], f, QStringLiteral("its weight %1 is not from 1 to %2").arg(weight).arg(ModelTextSyntax::kMaxWeight));
    if (weight == 1 && !ModelTextSyntax::FindWeight(text))
        return text;
    return text + QStringLiteral(" (%1)").arg(weight);
}

void TextWriting::RefuseLevel(const QString& name, int f, const QString& why)
{
    Refuse(QStringLiteral("The level \"%1\" of factor %2 cannot be written as model text: %3.")
               .arg(name, d.factors.at(0, f), why));
}

QString TextWriting::ConstraintLine(int c)
{
    ModelTextSyntax::ConstraintFields row;
    for (int k = 1; k <= 4; ++k) {
        row[std::size_t(k - 1)] = d.constraints.at(c, k);
        if (const QString problem = CharacterProblem(d.constraints.at(c, k), false); !problem.isEmpty())
            Refuse(QStringLiteral("Constraint %1 cannot be written as a rule: \"%2\": %3.")
                       .arg(c)
                       .arg(d.constraints.at(c, k), problem));
    }
    for (const int k : {0, 2})
        if (row[std::size_t(k)].contains(u']'))
            Refuse(QStringLiteral("Constraint %1 cannot be written as a rule: the factor \"%2\" holds \"]\".")
                       .arg(c)
                       .arg(row[std::size_t(k)]));
    return ModelTextSyntax::ConstraintRule(row);
}

// The rules text, each of its lines ended (a last empty line included, so that it reads back),
// each group in the form the text it was read from wrote it in. Unless rows stand before it,
// its first line that is not a comment must start a rule, or it would read as a factor's.
QString TextWriting::RulesLines(bool afterRows)
{
    if (ModelTextSyntax::IsBlank(d.rules))
        return {};
    if (const QString problem = CharacterProblem(d.rules, true); !problem.isEmpty())
        Refuse(QStringLiteral("The rules text cannot be written as model text: %1.").arg(problem));
    QString text;
    bool started = afterRows;
    for (const QString& line : d.rules.split(u'\n')) {
        if (!started && !ModelTextSyntax::IsBlank(line) && !ModelTextSyntax::IsComment(line)) {
            started = true;
            if (!ModelTextSyntax::StartsRules(line))
                Refuse(QStringLiteral("The rules text cannot be written as model text: its first line that is not a "
                                      "comment, \"%1\", does not start a rule and would read as a factor.")
                           .arg(line));
        }
        const auto written = d.textLayout.groupLines.find(line);
        text += (written == d.textLayout.groupLines.end() ? line : written->second) + u'\n';
    }
    return text;
}

Result<QByteArray> TextWriting::Written() const
{
    QString text = out;
    // Lines end as the text's did; a line that ends in a carriage return keeps it when every
    // line ends with CR LF, of which the reader takes the CR off.
    if (d.textLayout.crLfLineEnds || text.contains(QStringLiteral("\r\n")))
        text.replace(u'\n', QStringLiteral("\r\n"));
    // A text that starts with U+FEFF (a first factor's name may) gets a byte order mark, which
    // the reader takes off.
    if (text.startsWith(QChar(0xFEFF)))
        text.prepend(QChar(0xFEFF));
    const QByteArray bytes = text.toUtf8();

    QStringList refusal = problems;
    if (KindOfDesignFile(bytes) == DesignFileKind::Document)
        refusal << (d.numFactors < 1 ? QStringLiteral("A design without factors and rules cannot be written as "
                                                      "model text.")
                                     : QStringLiteral("The factor \"%1\" cannot be written first in a model text: a "
                                                      "text that starts with \"<\" is read as a design document.")
                                           .arg(d.factors.at(0, 1)));
    if (refusal.size() > kShownProblems) {
        const qsizetype more = refusal.size() - kShownProblems;
        refusal.erase(refusal.begin() + kShownProblems, refusal.end());
        refusal << QStringLiteral("And %1 more like these.").arg(more);
    }
    if (!refusal.isEmpty())
        return Failure{refusal.join(u'\n')};
    return bytes;
}

}  // namespace

Result<QByteArray> WriteModelText(const DesignText& design)
{
    TextWriting writing(design);
    writing.Factors();
    writing.ConstraintsAndRules();
    return writing.Written();
}
