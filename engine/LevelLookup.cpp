#include "engine/LevelLookup.h"

LevelLookup::LevelLookup(const DesignTables& design) : byName_(static_cast<size_t>(design.NumFactors()))
{
    // Filled from the weakest kind of name to the strongest, last level first: what is put
    // later overwrites.
    for (int32_t f = 0; f < design.NumFactors(); ++f) {
        auto& names = byName_[static_cast<size_t>(f)];
        const int32_t count = design.levelCounts[static_cast<size_t>(f)];
        for (int32_t l = count; l >= 1; --l)
            if (design.Invalid(f, l))
                names["~" + design.Name(f, l)] = l;
        for (int32_t l = count; l >= 1; --l)
            if (static_cast<size_t>(f) < design.aliases.size() && static_cast<size_t>(l) <= design.aliases[static_cast<size_t>(f)].size())
                for (const std::string& alias : design.aliases[static_cast<size_t>(f)][static_cast<size_t>(l - 1)])
                    names[alias] = l;
        for (int32_t l = count; l >= 1; --l)
            names[design.Name(f, l)] = l;
    }
}

int32_t LevelLookup::Level(int32_t f, const std::string& text) const
{
    const auto& names = byName_[static_cast<size_t>(f)];
    const auto found = names.find(text);
    return found == names.end() ? 0 : found->second;
}

std::vector<int32_t> LevelLookup::Codes(const std::vector<std::string>& row) const
{
    std::vector<int32_t> codes(byName_.size(), -1);
    for (size_t f = 0; f < byName_.size() && f < row.size(); ++f)
        codes[f] = Level(static_cast<int32_t>(f), row[f]) - 1;
    return codes;
}

std::vector<std::vector<int32_t>> LevelLookup::Codes(const std::vector<std::vector<std::string>>& rows) const
{
    std::vector<std::vector<int32_t>> codes;
    codes.reserve(rows.size());
    for (const auto& row : rows)
        codes.push_back(Codes(row));
    return codes;
}
