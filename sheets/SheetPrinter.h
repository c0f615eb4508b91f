#pragma once
// A sheet on paper: a heading, then its captions and cells as a table that runs to the last
// row and column holding text. Every column is as wide as its widest text, so no word is
// broken; columns that do not fit across a page go on to further pages, and every page repeats
// the heading, the column captions and the row captions. A text sheet prints its lines
// numbered, each page headed the same way.

#include <QString>

class GridCellStore;
class QFont;
class QPrinter;

class SheetPrinter {
public:
    // Whether the sheet's table is wider than it is tall (then it prints in landscape).
    static bool WiderThanTall(const GridCellStore& grid, const QFont& font);
    // False when the printer could not print (after no message: the caller tells the user).
    static bool Print(const GridCellStore& grid, const QString& title, QPrinter& printer);
    // The lines of a text ("\n" between them) numbered from 1 in a monospaced font; a line
    // wider than the page goes on below, under its own text.
    static bool PrintText(const QString& text, const QString& title, QPrinter& printer);
};
