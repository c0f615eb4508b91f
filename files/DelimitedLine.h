#pragma once
// One line of delimited text: tab-separated or comma-separated. A cell that holds the
// delimiter, a double quote or a line break is put in double quotes, its quotes doubled, so
// that every cell reads back exactly; other cells stand as typed.

#include <QString>
#include <QStringList>

enum class TextFormat { Tsv, Csv };

QString DelimitedLine(const QStringList& cells, TextFormat format);
