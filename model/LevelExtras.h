#pragma once
// What a level carries besides its name: a weight (a preference among levels that serve a
// test case equally well) and the other names its rules and rows may use. The Factors and
// Levels sheet keeps them with the level's cell, so that a rename keeps them.

#include <QStringList>

#include <cstdint>

struct LevelExtras {
    std::int32_t weight = 1;
    QStringList aliases;

    bool Empty() const { return weight == 1 && aliases.isEmpty(); }
    // As the level's cell shows them after its name: " | Win11 (3)".
    QString Suffix() const
    {
        QString suffix;
        for (const QString& alias : aliases)
            suffix += QStringLiteral(" | ") + alias;
        if (weight != 1)
            suffix += QStringLiteral(" (%1)").arg(weight);
        return suffix;
    }
    friend bool operator==(const LevelExtras&, const LevelExtras&) = default;
};
