#pragma once
// What the readers' fuzzing targets and their corpus tests hold every input to. Each check
// returns "" when the input kept to it, else what went wrong.

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <string>

// The model text reader: the bytes read or are refused with a place. A design read compiles
// its rules into the constraint model (or is refused there); a file of this content, read as
// a model text, writes back to a text that reads to the same design and writes the same bytes.
std::string CheckModelText(const QByteArray& bytes);

// The seed and suite file reader (TSV, CSV, JSON) on a small design with other names and
// invalid levels, for seeds and for whole rows: the bytes read or are refused, and the rows
// read name levels of the design.
std::string CheckSuiteFile(const QByteArray& bytes);
// The same, as seeds or as whole rows by the input's length, odd or even: half the work per
// input for a fuzzing run.
std::string CheckSuiteFileAs(const QByteArray& bytes, bool wholeRows);
std::string CheckSuiteFileOneWay(const QByteArray& bytes);

// A fuzzing target's one input through a check; a problem is printed and stops the run.
int FuzzOneInput(std::string (*check)(const QByteArray&), const std::uint8_t* data, std::size_t size);
