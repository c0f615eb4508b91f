#pragma once
// A level's cell on the Factors and Levels sheet, typed as a factor line of a model text
// writes a level: "Windows 11 | Win11 (3)" is the level "Windows 11", known also as "Win11",
// at weight 3; "~Solaris" an invalid level. The library's model text reader and writer read and
// write it, so that a cell takes what a text takes.

#include "model/LevelExtras.h"

#include <QString>

struct TypedLevel {
    QString name;
    LevelExtras extras;
    bool invalid = false;
    QString problem;  // why the text was taken as a name only ("" when read)
};

// What a typed level cell says. A text with no "|" and no "(N)" at its end is a name only.
TypedLevel ReadTypedLevel(const QString& typed);

// The text an edit of the level starts from: its name, then what it carries, in the form the
// cell reads back to the same level.
QString LevelEditText(const QString& name, const LevelExtras& extras);
