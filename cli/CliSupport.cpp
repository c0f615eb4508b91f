#include "cli/CliSupport.h"

#include "cli/HeadlessDesign.h"
#include "files/FileWriter.h"
#include "model/DesignWorkbook.h"
#include "model/DesignModel.h"

#include <QFile>

#include <cstdio>

namespace CliSupport {

namespace {

int CannotRead(const QString& path, const QString& reason)
{
    std::fprintf(stderr, "Cannot read %s: %s\n", QFile::encodeName(path).constData(), reason.toLocal8Bit().constData());
    return kExitUsage;
}

}  // namespace

int OpenDesign(const CliOptions& options, DesignText* read)
{
    Result<DesignText, DesignReadFailure> opened = HeadlessDesign::Open(options.design);
    if (opened) {
        if (read)
            *read = std::move(opened).value();
        return kExitOk;
    }
    const DesignReadFailure& failure = opened.error();
    const QByteArray path = HeadlessDesign::ShownPath(options.design).toLocal8Bit();
    if (failure.line > 0) {
        std::fprintf(stderr, "%s:%d:%d: %s\n", path.constData(), failure.line, failure.column,
                     failure.message.toLocal8Bit().constData());
        return kExitRefused;
    }
    std::fprintf(stderr, "Error opening file: %s: %s\n", path.constData(), failure.message.toLocal8Bit().constData());
    return kExitUsage;
}

bool WriteBytes(const QString& path, const std::function<Result<void>(QIODevice&)>& write)
{
    const bool toStandardOutput = path.isEmpty() || path == QLatin1String("-");
    std::fflush(stdout);
    FileWriter file = toStandardOutput ? FileWriter(stdout) : FileWriter(path);
    Result<void> written = file.open();
    if (written)
        written = write(file.device());
    if (written)
        written = file.commit();
    if (written)
        return true;
    std::fprintf(stderr, "Cannot write %s: %s\n",
                 toStandardOutput ? "to standard output" : QFile::encodeName(path).constData(),
                 written.error().toLocal8Bit().constData());
    return false;
}

int OpenAndRead(const CliOptions& options, const QString& tooSmallRefusal, CommandDesign& read)
{
    if (const int failed = OpenDesign(options))
        return failed;
    if (!tooSmallRefusal.isEmpty() && !HeadlessDesign::Workbook().HasTwoFactorsAtTwoLevels(tooSmallRefusal))
        return kExitRefused;
    if (!HeadlessDesign::Workbook().Read(true, read.text))
        return kExitRefused;
    return Recompile(options, ToModel(read.text, HeadlessDesign::RulesFirstLine()), read);
}

int Recompile(const CliOptions& options, const vantrel::Model& model, CommandDesign& read)
{
    vantrel::Result<vantrel::Design> compiled = vantrel::Design::Compile(model);
    if (compiled) {
        read.design = std::move(compiled).value();
        return kExitOk;
    }
    const vantrel::Error& error = compiled.error();
    const QByteArray path = HeadlessDesign::ShownPath(options.design).toLocal8Bit();
    if (error.kind == vantrel::Error::Kind::Rules)
        std::fprintf(stderr, "%s:%d:%d: %s\n", path.constData(), error.line, error.column, error.message.c_str());
    else
        std::fprintf(stderr, "%s: %s.\n", path.constData(), error.message.c_str());
    return kExitRefused;
}

int ReadRowsFile(const QString& path, const vantrel::Design& design, bool wholeRows, SuiteRows& rows)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return CannotRead(path, file.errorString());
    SuiteFileError error;
    if (ReadSuiteFile(file.readAll(), design, wholeRows, rows, error))
        return kExitOk;
    std::fprintf(stderr, "%s:%d:%d: %s\n", QFile::encodeName(path).constData(), error.line, error.column,
                 error.message.toLocal8Bit().constData());
    return kExitRefused;
}

std::vector<std::vector<std::string>> SavedMatrix(const DesignText& tables)
{
    return HeadlessDesign::Workbook().TestCaseNames(tables.numFactors);
}

vantrel::Row ShownRow(const vantrel::Design& design, const std::vector<int32_t>& codes)
{
    vantrel::Row row;
    for (std::size_t f = 0; f < codes.size(); ++f)
        row.push_back(codes[f] < 0 ? std::string() : design.Shown({int(f), codes[f]}));
    return row;
}

void Tell(const QString& message) { std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData()); }

}  // namespace CliSupport
