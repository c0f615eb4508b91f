#include "sheets/LevelCellText.h"

#include <vantrel/modeltext.hpp>

namespace {

const std::string kFactorLead = "L: ";

// A text the model text reader would read more into than a name.
bool CarriesMore(const QString& text)
{
    const QString trimmed = text.trimmed();
    return trimmed.contains(u'|') || trimmed.endsWith(u')');
}

QStringList FromStd(const std::vector<std::string>& names)
{
    QStringList list;
    for (const std::string& name : names)
        list << QString::fromStdString(name);
    return list;
}

}  // namespace

TypedLevel ReadTypedLevel(const QString& typed)
{
    TypedLevel level{typed, {}, false, {}};
    if (!CarriesMore(typed) || typed.contains(u'\n'))
        return level;
    const vantrel::Result<vantrel::Model> read = vantrel::ReadModelText(kFactorLead + typed.toStdString());
    if (!read) {
        level.problem = QString::fromStdString(read.error().message);
        return level;
    }
    const std::vector<vantrel::Factor>& factors = read.value().factors;
    if (factors.size() != 1 || factors[0].levels.size() != 1) {
        level.problem = QStringLiteral("a comma separates two levels");
        return level;
    }
    const vantrel::Level& taken = factors[0].levels[0];
    level.name = QString::fromStdString(taken.name);
    level.invalid = taken.invalid;
    level.extras = {taken.weight, FromStd(taken.aliases)};
    return level;
}

QString LevelEditText(const QString& name, const LevelExtras& extras)
{
    if (extras.Empty() && !CarriesMore(name))
        return name;
    vantrel::Level level{name.toStdString(), extras.weight, {}, false};
    for (const QString& alias : extras.aliases)
        level.aliases.push_back(alias.toStdString());
    vantrel::Model model;
    model.factors.push_back({"L", {level}});
    const vantrel::Result<std::string> written = vantrel::WriteModelText(model);
    if (!written)  // a name the text cannot hold: shown as the sheet shows it
        return name + extras.Suffix();
    const std::string& text = written.value();
    const std::string line = text.substr(0, text.find('\n'));
    return line.rfind(kFactorLead, 0) == 0 ? QString::fromStdString(line.substr(kFactorLead.size())) : name + extras.Suffix();
}
