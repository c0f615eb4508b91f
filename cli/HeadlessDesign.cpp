#include "cli/HeadlessDesign.h"

#include "files/FileIdentity.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"

#include <QFile>

#include <cstdio>
#include <memory>

namespace HeadlessDesign {

namespace {
FileIdentity gOpened;  // the design file as it was read
int gRulesFirstLine = 1;
bool gModelText = false;
std::unique_ptr<DesignWorkbook> gWorkbook;
}  // namespace

DesignWorkbook& Workbook()
{
    if (!gWorkbook)
        gWorkbook = std::make_unique<DesignWorkbook>();
    return *gWorkbook;
}

void Release() { gWorkbook.reset(); }

Result<DesignText, DesignReadFailure> Open(const QString& path)
{
    const bool standardInput = path == QLatin1String("-");
    const FileIdentity before = standardInput ? FileIdentity() : FileIdentity::Of(path);
    QFile input;
    if (standardInput && !input.open(stdin, QIODevice::ReadOnly))
        return Failure{DesignReadFailure{}};
    Result<DesignText, DesignReadFailure> read = standardInput ? CFile::ReadDesign(input) : CFile::ReadDesignFile(path);
    if (!read)
        return read;
    if (!standardInput)
        gOpened = before;
    const DesignText& design = read.value();
    gRulesFirstLine = design.rulesFirstLine;
    gModelText = design.fromModelText;

    // The Test Cases sheet's empty layout, one row, stays for a design without a matrix: its
    // export is the empty grid.
    Workbook().TestCasesGrid().setMaxRows(1);
    Workbook().Put(design);
    return read;
}

QString ShownPath(const QString& path)
{
    return path == QLatin1String("-") ? QStringLiteral("<stdin>") : path;
}

int RulesFirstLine() { return gRulesFirstLine; }

bool OpenedModelText() { return gModelText; }

void SetTestCases(const DesignText& tables, const std::vector<std::vector<QString>>& rows)
{
    GridCellStore& grid = Workbook().TestCasesGrid();
    const int numFactors = tables.numFactors;
    grid.setMaxCols(numFactors);
    grid.setMaxRows(int(rows.size()) + 1);
    for (int f = 1; f <= numFactors; ++f)
        grid.setText(f, 1, tables.factors.at(0, f));
    for (int r = 0; r < int(rows.size()); ++r)
        for (int f = 1; f <= numFactors; ++f)
            grid.setText(f, r + 2, rows[std::size_t(r)][std::size_t(f - 1)]);
}

CFile::GuardedSave Save(const QString& path)
{
    DesignText t;
    if (!Workbook().Read(false, t))
        return CFile::GuardedSave::NotSaved;
    CFile file(Workbook());
    file.SetWhileWaitingForLock([&path](bool first) {
        if (first)
            std::fprintf(stderr, "The design %s is being saved by another program; waiting for it to finish.\n",
                         QFile::encodeName(path).constData());
    });
    return file.SaveDesignFile(path, t, &gOpened).state;
}

}  // namespace HeadlessDesign
