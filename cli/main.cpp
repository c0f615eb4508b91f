// vantrel-cli: the design files, validation, engine and pair search of Vantrel without a
// window, for scripts and build pipelines.
#include "cli/CommandLine.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Corvantis"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    return RunCommandLine(QCoreApplication::arguments().mid(1));
}
