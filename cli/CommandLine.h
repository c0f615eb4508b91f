#pragma once
// vantrel-cli's command line: one table of commands, each with what it does, the options it
// takes and the function that runs it, and one table of options, each with how its value is
// read. The usage text, `COMMAND --help` and the refusal of an option a command does not take
// are made from these tables.

#include "cli/CliCommands.h"

#include <QString>
#include <QStringList>

#include <vector>

struct CliCommand {
    const char* name;
    const char* summary;               // what it does, for the usage
    std::vector<const char*> options;  // the long names of the options it takes
    int (*run)(const CliOptions& options);
    // The operands after the command's name, as the usage names them: the design, and for a
    // command that writes one file besides, that file (which is options.output).
    const char* operands = "DESIGN";
};

struct CliOption {
    const char* name;       // --name
    const char* valueName;  // the value's name in the usage; nullptr for a switch
    const char* help;
    // Reads the option into the options: an empty result, or the usage problem.
    QString (*read)(const QString& value, CliOptions& options);
};

const std::vector<CliCommand>& CliCommandTable();
const std::vector<CliOption>& CliOptionTable();

// The usage of every command, or of one.
QString CliUsage();
QString CliCommandUsage(const CliCommand& command);

// Parses the arguments (without the program's name) and runs the command: its exit status.
int RunCommandLine(const QStringList& arguments);
