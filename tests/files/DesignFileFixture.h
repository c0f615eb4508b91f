#pragma once
// Designs as the sheets' readers hand them to the file writer, and everything the file reader
// gives back, with a fixture that saves and opens them through a buffer or a path.

#include "files/CFile.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "tests/support/SeamTest.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestTables.h"

#include <QBuffer>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>

using TestTables::FillGrid;
using TestTables::Rows;

struct Design {
    std::int32_t n = 0;
    LongArray counts;
    TextTable factors;
    std::int32_t m = 0;
    TextTable constraints;
    std::int32_t p = 0;
    TextTable prevRuns;
};

// columns: each factor's name, then its levels.
inline Design MakeDesign(const QList<QStringList>& columns, const QList<QStringList>& constraintRows = {},
                         const QList<QStringList>& prevRunRows = {})
{
    Design d;
    d.n = std::int32_t(columns.size());
    d.factors = TestTables::FactorTable(columns, d.counts);
    d.m = std::int32_t(constraintRows.size());
    d.constraints = Rows(constraintRows);
    d.p = std::int32_t(prevRunRows.size());
    d.prevRuns = Rows(prevRunRows);
    return d;
}

// What the reader gives back; the starting values show whether it touched anything.
struct Loaded {
    bool ok = false;
    QString reason;
    std::int32_t n = -1, maxLevels = 0, m = -1, p = -1, R = -1, C = -1;
    LongArray counts;
    TextTable factors, constraints, prevRuns, matrix;

    bool untouched() const
    {
        return n == -1 && maxLevels == 0 && m == -1 && p == -1 && R == -1 && C == -1 && !counts.isDimensioned() &&
               !factors.isDimensioned() && !constraints.isDimensioned() && !prevRuns.isDimensioned() &&
               !matrix.isDimensioned();
    }
};

template <typename Source>  // a path or a device
Loaded Open(Source&& source)
{
    Loaded l;
    Result<DesignText> read = CFile::OpenXMLFile(source);
    l.ok = read.ok();
    if (!read) {
        l.reason = read.error();
        return l;
    }
    DesignText& d = read.value();
    l.n = d.numFactors;
    l.maxLevels = d.maxNumLevels;
    l.counts = std::move(d.levelCounts);
    l.factors = std::move(d.factors);
    l.m = d.numConstraints;
    l.constraints = std::move(d.constraints);
    l.p = d.numPrevRuns;
    l.prevRuns = std::move(d.prevRuns);
    l.R = d.numRows;
    l.C = d.numCols;
    l.matrix = std::move(d.matrix);
    return l;
}

inline Loaded OpenBytes(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    return Open(buffer);
}

class DesignFileTest : public SeamTest {
protected:
    DesignWorkbook workbook;
    GridCellStore& grid = workbook.TestCasesGrid();
    CFile file{workbook};
    QTemporaryDir dir;

    // The Test Cases sheet (row 1 the factor names, then the cases) filled with FillGrid, or
    // with distinct texts to a size.
    void setMatrixSize(int rows, int cols)
    {
        grid.setMaxRows(rows);
        grid.setMaxCols(cols);
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= cols; ++c)
                grid.setText(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
    }

    Result<void> save(const Design& d, QIODevice& device)
    {
        return file.SaveXMLFile(device, d.n, d.counts, d.factors, d.m, d.constraints, d.p, d.prevRuns);
    }
    bool save(const Design& d, const QString& path)
    {
        return file.SaveXMLFile(path, d.n, d.counts, d.factors, d.m, d.constraints, d.p, d.prevRuns);
    }
    QByteArray saveBytes(const Design& d)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        const Result<void> saved = save(d, buffer);
        EXPECT_TRUE(saved) << saved.error().toStdString();
        return bytes;
    }

    // Every table the reader gave back is the one the design and the Test Cases sheet held.
    void expectSame(const Design& d, const Loaded& l)
    {
        ASSERT_TRUE(l.ok) << l.reason.toStdString();
        EXPECT_EQ(l.n, d.n);
        EXPECT_EQ(l.maxLevels, d.factors.rowUpper());
        EXPECT_EQ(l.counts, d.counts);
        EXPECT_EQ(l.factors, d.factors);
        EXPECT_EQ(l.m, d.m);
        EXPECT_EQ(l.constraints, d.constraints);
        EXPECT_EQ(l.p, d.p);
        EXPECT_EQ(l.prevRuns, d.prevRuns);
        if (grid.maxRows() < 2) {
            EXPECT_EQ(l.R, 0);
            return;
        }
        EXPECT_EQ(l.R, grid.maxRows());
        EXPECT_EQ(l.C, grid.maxCols());
        EXPECT_EQ(l.matrix, grid.readBlock(1, 1, grid.maxRows(), grid.maxCols()));
    }
};
