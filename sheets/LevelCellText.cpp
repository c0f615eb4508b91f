#include "sheets/LevelCellText.h"

#include "files/ModelText.h"

namespace {

const QString kFactorLead = QStringLiteral("L: ");

// A text the model text reader would read more into than a name.
bool CarriesMore(const QString& text)
{
    const QString trimmed = text.trimmed();
    return trimmed.contains(u'|') || trimmed.endsWith(u')');
}

}  // namespace

TypedLevel ReadTypedLevel(const QString& typed)
{
    TypedLevel level{typed, {}, false, {}};
    if (!CarriesMore(typed) || typed.contains(u'\n'))
        return level;
    const auto read = ReadModelText((kFactorLead + typed).toUtf8());
    if (!read) {
        level.problem = read.error().message;
        return level;
    }
    const DesignText& design = read.value();
    if (design.numFactors != 1 || design.levelCounts.at(1) != 1) {
        level.problem = QStringLiteral("a comma separates two levels");
        return level;
    }
    level.name = design.factors.at(1, 1);
    level.invalid = design.invalidLevels.contains({1, 1});
    if (const auto weight = design.levelWeights.find({1, 1}); weight != design.levelWeights.end())
        level.extras.weight = weight->second;
    if (const auto aliases = design.levelAliases.find({1, 1}); aliases != design.levelAliases.end())
        level.extras.aliases = aliases->second;
    return level;
}

QString LevelEditText(const QString& name, const LevelExtras& extras)
{
    if (extras.Empty() && !CarriesMore(name))
        return name;
    DesignText design;
    design.numFactors = 1;
    design.maxNumLevels = 1;
    design.levelCounts = LongArray(1, 1);
    design.levelCounts(1) = 1;
    design.factors = TextTable(0, 1, 1, 1);
    design.factors(0, 1) = QStringLiteral("L");
    design.factors(1, 1) = name;
    if (extras.weight != 1)
        design.levelWeights[{1, 1}] = extras.weight;
    if (!extras.aliases.isEmpty())
        design.levelAliases[{1, 1}] = extras.aliases;
    const Result<QByteArray> written = WriteModelText(design);
    if (!written)  // a name the text cannot hold: shown as the sheet shows it
        return name + extras.Suffix();
    const QString line = QString::fromUtf8(written.value()).section(u'\n', 0, 0);
    return line.startsWith(kFactorLead) ? line.mid(kFactorLead.size()) : name + extras.Suffix();
}
