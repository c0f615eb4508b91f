#pragma once
// Writes a matrix of texts as delimited lines: tab-separated, or comma-separated with a cell
// quoted where it holds a comma, a double quote or a line break.

#include <QString>
#include <QStringList>

enum class TextFormat { Tsv, Csv };

QString DelimitedLine(const QStringList& cells, TextFormat format);
