// vantrel-cli: the design files, validation, engine and pair search of Vantrel without a
// window, for scripts and build pipelines.
#include "cli/CliCommands.h"
#include "cli/HeadlessDesign.h"
#include "files/ExportKind.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <sys/stat.h>

#include <cstdio>
#include <new>

namespace {

// Whether two paths name one file (a link to it included).
bool SameFile(const QString& first, const QString& second)
{
    struct stat a {};
    struct stat b {};
    return !first.isEmpty() && stat(QFile::encodeName(first).constData(), &a) == 0 &&
           stat(QFile::encodeName(second).constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// %1: the export format names, "|" between them.
const char* kUsage =
    "usage: vantrel-cli COMMAND DESIGN.test [options]\n"
    "\n"
    "commands:\n"
    "  generate   print the covering matrix (every pair of levels of every two factors; with\n"
    "             --strength T every combination of levels of every T factors)\n"
    "             [--strength T] [--evolutions N] [--seed S] [--threads N] [--format tsv|csv]\n"
    "             [--output FILE] [--save]\n"
    "             [--compact SECONDS] [--compact-moves N]: then remove test cases while every\n"
    "             pair stays covered, for at most SECONDS or N moves (N repeats with --seed)\n"
    "  validate   check the design: \"The design is valid.\" or the first problem (exit status 1\n"
    "             when no test case can satisfy every constraint), the number of rules, and\n"
    "             what the constraints exclude together beyond the pairs they name [--format]\n"
    "  all        print every combination of levels, less those that break a constraint or a\n"
    "             rule or a previous test ran [--yes] [--format tsv|csv] [--output FILE]\n"
    "  coverage   count the pairs (--strength T: the combinations of T levels) the design's\n"
    "             saved matrix covers [--strength T] [--missing] [--format tsv|csv]\n"
    "  export     write the design's saved matrix to a file, as the desktop program exports it\n"
    "             --format %1 --output FILE\n"
    "\n"
    "Every command keeps the design's constraints and rules; a rules text that does not check\n"
    "is told as DESIGN:LINE:COLUMN: message. Messages go to standard error. Exit status: 0\n"
    "success, 1 the design was refused or no matrix resulted, 2 a usage error or a file that\n"
    "cannot be read or written.\n";

// The export format names as a sentence's list: "xlsx, xml, html, csv or tsv".
QString ExportFormatList()
{
    QStringList names = ExportFormatNames();
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

QString Usage() { return QString::fromLatin1(kUsage).arg(ExportFormatNames().join(QLatin1Char('|'))); }

int UsageError(const QString& problem)
{
    std::fprintf(stderr, "vantrel-cli: %s\n\n%s", problem.toLocal8Bit().constData(),
                 Usage().toLocal8Bit().constData());
    return kExitUsage;
}

bool ParseNumber(const QString& text, qulonglong max, qulonglong& value)
{
    bool ok = false;
    value = text.toULongLong(&ok);
    return ok && value <= max;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvantis"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(Usage());
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"), QStringLiteral("Show the version."));
    const QCommandLineOption evolutions(QStringLiteral("evolutions"),
                                        QStringLiteral("Number of evolutions (default 1000; 3 from strength 3)."),
                                        QStringLiteral("N"));
    const QCommandLineOption strength(QStringLiteral("strength"),
                                      QStringLiteral("Factors whose level combinations are covered (2 to 6)."),
                                      QStringLiteral("T"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the random draws, to repeat a run."),
                                  QStringLiteral("S"));
    const QCommandLineOption threads(QStringLiteral("threads"),
                                     QStringLiteral("Evolutions run at once (default: every core)."),
                                     QStringLiteral("N"));
    const QCommandLineOption compact(QStringLiteral("compact"),
                                     QStringLiteral("Compact the matrix for at most SECONDS."),
                                     QStringLiteral("SECONDS"));
    const QCommandLineOption compactMoves(QStringLiteral("compact-moves"),
                                          QStringLiteral("Compact the matrix for at most N moves."),
                                          QStringLiteral("N"));
    const QCommandLineOption format(
        QStringLiteral("format"),
        QStringLiteral("Output format: tsv (default) or csv; for export %1.").arg(ExportFormatList()),
        QStringLiteral("FORMAT"));
    const QCommandLineOption output(
        QStringLiteral("output"),
        QStringLiteral("Write the matrix to FILE instead of standard output (\"-\": standard output)."),
        QStringLiteral("FILE"));
    const QCommandLineOption save(QStringLiteral("save"), QStringLiteral("Store the matrix in the design file."));
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("Answer Yes to the size question."));
    const QCommandLineOption missing(QStringLiteral("missing"), QStringLiteral("List the pairs that are not covered."));
    parser.addOptions(
        {help, version, evolutions, strength, seed, threads, compact, compactMoves, format, output, save, yes, missing});
    if (!parser.parse(app.arguments()))
        return UsageError(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(Usage().toLocal8Bit().constData(), stdout);
        return kExitOk;
    }
    if (parser.isSet(version)) {
        std::printf("vantrel-cli %s\n", VANTREL_VERSION);
        return kExitOk;
    }

    const QStringList args = parser.positionalArguments();
    if (args.size() != 2)
        return UsageError(args.isEmpty() ? QStringLiteral("no command given")
                                         : QStringLiteral("a command takes exactly one design file"));
    const bool exporting = args[0] == QStringLiteral("export");
    CliOptions options;
    options.design = args[1];
    qulonglong number = 0;
    if (parser.isSet(evolutions)) {
        if (!ParseNumber(parser.value(evolutions), 10000, number) || number < 1)
            return UsageError(QStringLiteral("--evolutions takes a number from 1 to 10000"));
        options.evolutions = std::int32_t(number);
        options.evolutionsGiven = true;
    }
    if (parser.isSet(strength)) {
        if (!ParseNumber(parser.value(strength), 6, number) || number < 2)
            return UsageError(QStringLiteral("--strength takes a number from 2 to 6"));
        options.strength = std::int32_t(number);
    }
    if (parser.isSet(seed)) {
        if (!ParseNumber(parser.value(seed), ~0ULL, number))
            return UsageError(QStringLiteral("--seed takes a whole number"));
        options.seed = number;
        options.seedGiven = true;
    }
    if (parser.isSet(threads)) {
        if (!ParseNumber(parser.value(threads), 1024, number) || number < 1)
            return UsageError(QStringLiteral("--threads takes a number from 1 to 1024"));
        options.threads = unsigned(number);
    }
    if (parser.isSet(compact)) {
        bool ok = false;
        options.compactSeconds = parser.value(compact).toDouble(&ok);
        if (!ok || !(options.compactSeconds > 0) || options.compactSeconds > 1e6)
            return UsageError(QStringLiteral("--compact takes a number of seconds above 0"));
    }
    if (parser.isSet(compactMoves)) {
        if (!ParseNumber(parser.value(compactMoves), 1'000'000'000'000ULL, number) || number < 1)
            return UsageError(QStringLiteral("--compact-moves takes a number from 1 to 10^12"));
        options.compactMoves = std::int64_t(number);
    }
    if (exporting) {
        if (!parser.isSet(format) || !parser.isSet(output))
            return UsageError(QStringLiteral("export needs --format and --output"));
        const std::optional<ExportKind> kind = ExportKindFromFormatName(parser.value(format));
        if (!kind)
            return UsageError(QStringLiteral("--format is %1 for export").arg(ExportFormatList()));
        options.exportKind = *kind;
    } else if (parser.isSet(format)) {
        const QString f = parser.value(format);
        if (f != QStringLiteral("tsv") && f != QStringLiteral("csv"))
            return UsageError(QStringLiteral("--format is tsv or csv"));
        options.format = f == QStringLiteral("csv") ? TextFormat::Csv : TextFormat::Tsv;
    }
    options.output = parser.value(output);
    if (SameFile(options.output, options.design))
        return UsageError(QStringLiteral("--output names the design itself: ") + options.output);
    options.save = parser.isSet(save);
    options.yes = parser.isSet(yes);
    options.missing = parser.isSet(missing);

    const QString command = args[0];
    int result = kExitUsage;
    try {
        if (command == QStringLiteral("generate"))
            result = CliCommands::Generate(options);
        else if (command == QStringLiteral("validate"))
            result = CliCommands::Validate(options);
        else if (command == QStringLiteral("all"))
            result = CliCommands::All(options);
        else if (command == QStringLiteral("coverage"))
            result = CliCommands::Coverage(options);
        else if (exporting)
            result = CliCommands::Export(options);
        else
            return UsageError(QStringLiteral("unknown command: ") + command);
    } catch (const std::bad_alloc&) {
        // A design too large for this machine: said plainly instead of an abort.
        std::fprintf(stderr, "vantrel-cli: out of memory\n");
        result = kExitRefused;
    }
    HeadlessDesign::Release();
    return result;
}
