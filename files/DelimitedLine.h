#pragma once
// One line of delimited text: tab-separated or comma-separated. A cell that holds the
// delimiter, a double quote or a line break is put in double quotes, its quotes doubled, so
// that every cell reads back exactly; other cells stand as typed.

#include <QString>
#include <QStringList>

enum class TextFormat { Tsv, Csv };

QString DelimitedLine(const QStringList& cells, TextFormat format);

// The rows of delimited text as a spreadsheet program puts them on the clipboard: lines ended
// by LF or CR LF (a last line break ends the last row rather than starting an empty one);
// a cell that begins with a double quote runs to the closing quote, taking delimiters and
// line breaks inside it as text and a doubled quote as one quote.
QList<QStringList> ParseDelimitedText(const QString& text, TextFormat format);
