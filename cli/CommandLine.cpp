#include "cli/CommandLine.h"

#include "cli/HeadlessDesign.h"
#include "files/ExportKind.h"

#include <QFile>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
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

bool ParseNumber(const QString& text, qulonglong max, qulonglong& value)
{
    bool ok = false;
    value = text.toULongLong(&ok);
    return ok && value <= max;
}

// The export format names as a sentence's list: "xlsx, xml, html, csv or tsv".
QString ExportFormatList()
{
    QStringList names = ExportFormatNames();
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

QString ReadEvolutions(const QString& value, CliOptions& o)
{
    qulonglong number = 0;
    if (!ParseNumber(value, 10000, number) || number < 1)
        return QStringLiteral("--evolutions takes a number from 1 to 10000");
    o.evolutions = std::int32_t(number);
    o.evolutionsGiven = true;
    return {};
}

QString ReadStrength(const QString& value, CliOptions& o)
{
    qulonglong number = 0;
    if (!ParseNumber(value, 6, number) || number < 2)
        return QStringLiteral("--strength takes a number from 2 to 6");
    o.strength = std::int32_t(number);
    return {};
}

QString ReadSeed(const QString& value, CliOptions& o)
{
    qulonglong number = 0;
    if (!ParseNumber(value, ~0ULL, number))
        return QStringLiteral("--seed takes a whole number");
    o.seed = number;
    o.seedGiven = true;
    return {};
}

QString ReadThreads(const QString& value, CliOptions& o)
{
    qulonglong number = 0;
    if (!ParseNumber(value, 1024, number) || number < 1)
        return QStringLiteral("--threads takes a number from 1 to 1024");
    o.threads = unsigned(number);
    return {};
}

QString ReadCompact(const QString& value, CliOptions& o)
{
    bool ok = false;
    o.compactSeconds = value.toDouble(&ok);
    if (!ok || !(o.compactSeconds > 0) || o.compactSeconds > 1e6)
        return QStringLiteral("--compact takes a number of seconds above 0");
    return {};
}

// N, or N1,N2,... for one compaction each at once (what a time budget on several threads ran;
// one of them may have made no move).
QString ReadCompactMoves(const QString& value, CliOptions& o)
{
    const QStringList parts = value.split(QLatin1Char(','));
    o.searchMoves.clear();
    for (const QString& part : parts) {
        qulonglong number = 0;
        if (!ParseNumber(part, 1'000'000'000'000ULL, number) || (number < 1 && parts.size() == 1) || parts.size() > 1024)
            return QStringLiteral("--compact-moves takes a number from 1 to 10^12, or one from 0 for each of at most "
                                  "1024 compactions, separated by commas");
        o.searchMoves.push_back(std::int64_t(number));
    }
    if (parts.size() == 1) {
        o.compactMoves = o.searchMoves.front();
        o.searchMoves.clear();
    }
    return {};
}

QString ReadTime(const QString& value, CliOptions& o)
{
    bool ok = false;
    o.timeLimit = value.toDouble(&ok);
    if (!ok || !(o.timeLimit > 0) || o.timeLimit > 1e6)
        return QStringLiteral("--time takes a number of seconds above 0");
    return {};
}

// An option whose value is kept as given, a text or a path.
template <QString CliOptions::*Field>
QString ReadText(const QString& value, CliOptions& o)
{
    o.*Field = value;
    return {};
}

QString ReadSave(const QString&, CliOptions& o)
{
    o.save = true;
    return {};
}

QString ReadYes(const QString&, CliOptions& o)
{
    o.yes = true;
    return {};
}

QString ReadMissing(const QString&, CliOptions& o)
{
    o.missing = true;
    return {};
}

const CliOption* FindOption(const QString& name)
{
    for (const CliOption& option : CliOptionTable())
        if (name == QLatin1String(option.name))
            return &option;
    return nullptr;
}

const CliCommand* FindCommand(const QString& name)
{
    for (const CliCommand& command : CliCommandTable())
        if (name == QLatin1String(command.name))
            return &command;
    return nullptr;
}

bool Takes(const CliCommand& command, const char* option)
{
    return std::any_of(command.options.begin(), command.options.end(),
                       [&](const char* name) { return !std::strcmp(name, option); });
}

int UsageError(const QString& problem, const QString& usage)
{
    std::fprintf(stderr, "vantrel-cli: %s\n\n%s", problem.toLocal8Bit().constData(), usage.toLocal8Bit().constData());
    return kExitUsage;
}

}  // namespace

const std::vector<CliOption>& CliOptionTable()
{
    static const std::vector<CliOption> options{
        {"strength", "T", "every combination of the levels of every T factors (2 to 6, default 2)", ReadStrength},
        {"evolutions", "N", "evolutions of the search (1 to 10000, default 1000; 3 from strength 3)", ReadEvolutions},
        {"seed", "S", "the seed of the random draws, to repeat a run", ReadSeed},
        {"threads", "N", "evolutions, and compactions from one matrix, run at once (default: every core; the seed "
                         "with N repeats a suite)",
         ReadThreads},
        {"compact", "SECONDS", "then remove test cases while everything stays covered, for at most SECONDS", ReadCompact},
        {"compact-moves", "N",
         "compact for at most N moves (N repeats with --seed); N1,N2,...: one compaction each, at once",
         ReadCompactMoves},
        {"time", "SECONDS",
         "the whole generation within SECONDS: evolutions while half lasts, then compaction; the summary says which "
         "--evolutions and --compact-moves repeat it",
         ReadTime},
        {"format", "FORMAT", "tsv (default), csv or json (one document: factors, rows, summary); for export %1",
         ReadText<&CliOptions::formatName>},
        {"output", "FILE", "write to FILE instead of standard output (\"-\": standard output)", ReadText<&CliOptions::output>},
        {"save", nullptr, "store the matrix in the design file", ReadSave},
        {"include", "FILE",
         "rows that must be in the suite, first (TSV, CSV or JSON; the first line names factors; an empty cell is "
         "left to the generator)",
         ReadText<&CliOptions::include>},
        {"previous", "FILE", "tests already run (whole rows, as --include reads them), added to the design's", ReadText<&CliOptions::previous>},
        {"suite", "FILE", "count what this suite covers (TSV, CSV or JSON) instead of the saved matrix", ReadText<&CliOptions::suite>},
        {"yes", nullptr, "answer Yes to the question before a listing of more than 1,000 combinations", ReadYes},
        {"missing", nullptr, "list what is not covered and what cannot occur, with why", ReadMissing},
        {"plot", "FILE", "draw the coverage after each test case, for each kind of combination, as SVG", ReadText<&CliOptions::plot>},
    };
    return options;
}

const std::vector<CliCommand>& CliCommandTable()
{
    static const std::vector<CliCommand> commands{
        {"generate",
         "print the covering matrix: every pair of levels of every two factors (with --strength T every "
         "combination of levels of every T factors) that a valid test case can hold",
         {"strength", "evolutions", "seed", "threads", "compact", "compact-moves", "time", "format", "output", "save",
          "include", "previous"},
         CliCommands::Generate},
        {"validate",
         "check the design: \"The design is valid.\" or the first problem (exit status 1 when no test case can "
         "satisfy every constraint), the number of rules, and what the constraints exclude together beyond "
         "the pairs they name",
         {"format"},
         CliCommands::Validate},
        {"all",
         "print every combination of levels, less those that break a constraint or a rule or a previous test ran",
         {"yes", "format", "output"},
         CliCommands::All},
        {"coverage",
         "count the pairs (--strength T: the combinations of T levels) the design's saved matrix covers of those a "
         "valid test case can hold (exit status 1 when one is missing or a test case breaks a constraint; with "
         "--format csv, tsv or json only the data goes to standard output)",
         {"strength", "missing", "format", "suite", "plot"},
         CliCommands::Coverage},
        {"explain",
         "say whether the levels can stand together in a valid test case, with one that holds them (exit status 0), "
         "or which rules and Constraints rows forbid them (exit status 1)",
         {},
         CliCommands::Explain,
         "DESIGN FACTOR=LEVEL FACTOR=LEVEL..."},
        {"export", "write the design's saved matrix to a file, as the desktop program exports it (--format and "
                   "--output required)",
         {"format", "output"},
         CliCommands::Export},
        {"convert",
         "write the design as the other kind: OUT ending in .test a design file, anything else a model text "
         "(\"-\": the text on standard output); previous tests and the matrix stay out of a model text",
         {},
         CliCommands::Convert,
         "IN OUT"},
    };
    return commands;
}

namespace {

// The text folded to the usage's width after an indent.
QString Folded(const QString& text, int indent)
{
    constexpr int kWidth = 92;
    QString folded, line;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        if (!line.isEmpty() && indent + line.size() + 1 + word.size() > kWidth) {
            folded += line + QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return folded + line + QLatin1Char('\n');
}

QString OptionUsage(const CliOption& option)
{
    QString name = QStringLiteral("--") + QLatin1String(option.name);
    if (option.valueName)
        name += QLatin1Char(' ') + QLatin1String(option.valueName);
    QString help = QString::fromLatin1(option.help);
    if (help.contains(QLatin1String("%1")))
        help = help.arg(ExportFormatList());
    return QStringLiteral("  %1").arg(name, -22) + Folded(help, 24);
}

}  // namespace

QString CliCommandUsage(const CliCommand& command)
{
    QString usage = QStringLiteral("usage: vantrel-cli %1 %2%3\n\n")
                        .arg(QLatin1String(command.name), QLatin1String(command.operands),
                             command.options.empty() ? QString() : QStringLiteral(" [options]"));
    usage += Folded(QString::fromLatin1(command.summary), 0);
    if (!command.options.empty())
        usage += QStringLiteral("\noptions:\n");
    for (const CliOption& option : CliOptionTable())
        if (Takes(command, option.name))
            usage += OptionUsage(option);
    return usage;
}

QString CliUsage()
{
    QString usage = QStringLiteral("usage: vantrel-cli COMMAND DESIGN [options]\n"
                                   "       vantrel-cli COMMAND --help\n"
                                   "       vantrel-cli --help | --version\n\ncommands:\n");
    for (const CliCommand& command : CliCommandTable()) {
        QString line = QString::fromLatin1(command.summary);
        if (!command.options.empty()) {
            line += QStringLiteral(" [");
            for (const char* option : command.options)
                line += (line.endsWith(QLatin1Char('[')) ? QStringLiteral("--") : QStringLiteral(" --")) + QLatin1String(option);
            line += QLatin1Char(']');
        }
        usage += QStringLiteral("  %1").arg(QLatin1String(command.name), -11) + Folded(line, 13);
    }
    usage += QStringLiteral("\noptions:\n");
    for (const CliOption& option : CliOptionTable())
        usage += OptionUsage(option);
    return usage + QStringLiteral(
                       "\nEvery command keeps the design's constraints and rules; a rules text that does not check\n"
                       "is told as DESIGN:LINE:COLUMN: message. Messages go to standard error. Exit status: 0\n"
                       "success, 1 the design was refused or no matrix resulted, 2 a usage error or a file that\n"
                       "cannot be read or written.\n");
}

namespace {

struct ParsedArguments {
    QStringList positionals;
    std::vector<std::pair<const CliOption*, QString>> options;  // in the order given
    bool help = false;
};

// Splits the arguments into positionals and known options with their values; "" when they
// read, else the usage problem.
QString SplitArguments(const QStringList& arguments, ParsedArguments& parsed)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            parsed.help = true;
            continue;
        }
        if (!argument.startsWith(QLatin1String("--")) || argument == QLatin1String("-")) {
            parsed.positionals << argument;
            continue;
        }
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = argument.mid(2, equals < 0 ? -1 : equals - 2);
        const CliOption* option = FindOption(name);
        if (!option)
            return QStringLiteral("unknown option --") + name;
        QString value;
        if (option->valueName) {
            if (equals >= 0)
                value = argument.mid(equals + 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            else
                return QStringLiteral("--%1 needs a value").arg(name);
        } else if (equals >= 0) {
            return QStringLiteral("--%1 takes no value").arg(name);
        }
        parsed.options.emplace_back(option, value);
    }
    return {};
}

// The format's meaning depends on the command: an export kind, or the text of a listing.
QString ResolveFormat(const CliCommand& command, const ParsedArguments& parsed, CliOptions& options)
{
    const bool given = std::any_of(parsed.options.begin(), parsed.options.end(),
                                   [](const auto& option) { return !std::strcmp(option.first->name, "format"); });
    if (!std::strcmp(command.name, "export")) {
        if (!given || options.output.isEmpty())
            return QStringLiteral("export needs --format and --output");
        const std::optional<ExportKind> kind = ExportKindFromFormatName(options.formatName);
        if (!kind)
            return QStringLiteral("--format is %1 for export").arg(ExportFormatList());
        options.exportKind = *kind;
        return {};
    }
    if (!given)
        return {};
    if (options.formatName == QLatin1String("json")) {
        options.json = true;
        return {};
    }
    if (options.formatName != QLatin1String("tsv") && options.formatName != QLatin1String("csv"))
        return QStringLiteral("--format is tsv, csv or json");
    options.format = options.formatName == QLatin1String("csv") ? TextFormat::Csv : TextFormat::Tsv;
    return {};
}

// The options of the command line read into the command's options; "" or the usage problem.
QString ReadOptions(const CliCommand& command, const ParsedArguments& parsed, CliOptions& options)
{
    for (const auto& [option, value] : parsed.options) {
        if (!Takes(command, option->name))
            return QStringLiteral("%1 does not take --%2").arg(QLatin1String(command.name), QLatin1String(option->name));
        if (const QString problem = option->read(value, options); !problem.isEmpty())
            return problem;
    }
    if (const QString problem = ResolveFormat(command, parsed, options); !problem.isEmpty())
        return problem;
    if (SameFile(options.output, options.design))
        return QStringLiteral("--output names the design itself: ") + options.output;
    return {};
}

int Run(const CliCommand& command, const CliOptions& options)
{
    int result = kExitUsage;
    try {
        result = command.run(options);
    } catch (const std::bad_alloc&) {
        // A design too large for this machine: said plainly instead of an abort.
        std::fprintf(stderr, "vantrel-cli: out of memory\n");
        result = kExitRefused;
    }
    HeadlessDesign::Release();
    return result;
}

}  // namespace

int RunCommandLine(const QStringList& arguments)
{
    if (arguments.size() == 1 && arguments[0] == QLatin1String("--version")) {
        std::printf("vantrel-cli %s\n", VANTREL_VERSION);
        return kExitOk;
    }
    ParsedArguments parsed;
    const QString problem = SplitArguments(arguments, parsed);
    const CliCommand* command = parsed.positionals.isEmpty() ? nullptr : FindCommand(parsed.positionals[0]);
    if (parsed.help) {
        std::fputs((command ? CliCommandUsage(*command) : CliUsage()).toLocal8Bit().constData(), stdout);
        return kExitOk;
    }
    if (!problem.isEmpty())
        return UsageError(problem, command ? CliCommandUsage(*command) : CliUsage());
    if (parsed.positionals.isEmpty())
        return UsageError(QStringLiteral("no command given"), CliUsage());
    if (!command)
        return UsageError(QStringLiteral("unknown command: ") + parsed.positionals[0], CliUsage());
    const QStringList operands = QString::fromLatin1(command->operands).split(QLatin1Char(' '));
    // Operands ending in "..." are levels, as many as given beyond the ones named.
    const bool levels = operands.last().endsWith(QLatin1String("..."));
    if (levels ? parsed.positionals.size() < operands.size() + 1 : parsed.positionals.size() != operands.size() + 1)
        return UsageError(QStringLiteral("%1 takes %2").arg(QLatin1String(command->name), operands.join(QLatin1Char(' '))),
                          CliCommandUsage(*command));
    CliOptions options;
    options.design = parsed.positionals[1];
    if (levels)
        options.levels = parsed.positionals.mid(2);
    else if (operands.size() > 1)
        options.output = parsed.positionals[2];
    if (const QString wrong = ReadOptions(*command, parsed, options); !wrong.isEmpty())
        return UsageError(wrong, CliCommandUsage(*command));
    return Run(*command, options);
}
