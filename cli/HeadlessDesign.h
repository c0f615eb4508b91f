#pragma once
// A design file loaded into the program's sheets without windows, so that the command line
// reads, validates and saves it exactly as the desktop program does.

#include "files/CFile.h"
#include "model/DesignText.h"

#include <QString>

#include <vector>

class DesignWorkbook;

namespace HeadlessDesign {
// The design the commands work on: the four sheets' grids, without windows. Release() lets it
// go before the application object does.
DesignWorkbook& Workbook();
void Release();

// Reads the file, a design document or a model text ("-": either on standard input), and puts
// it on the four sheets, as the desktop program's Open does: the design as the file holds it,
// or why it is no readable design.
Result<DesignText, DesignReadFailure> Open(const QString& path);
// How the path is named in messages: "<stdin>" for "-".
QString ShownPath(const QString& path);
// The line of the opened file where its rules text starts.
int RulesFirstLine();
// Whether the opened design was a model text (which has no place for a matrix).
bool OpenedModelText();

// Puts a generated matrix (level names, one row per test case) on the Test Cases sheet,
// its first row the factor names.
void SetTestCases(const DesignText& tables, const std::vector<std::vector<QString>>& rows);

// Saves the sheets to the file as the desktop program's Save does, but only while the file is
// still the one Open read: the check and the replacement hold the design's lock, so that of two
// programs saving it at once the second finds the first one's file (ChangedOnDisk, nothing
// written). While another program's save holds the lock, standard error says so.
CFile::GuardedSave Save(const QString& path);
}  // namespace HeadlessDesign
