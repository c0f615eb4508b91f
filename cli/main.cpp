// vantrel-cli: design files, validation, generation, search and exports without a window.
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    const QStringList args = app.arguments();
    QTextStream out(stdout);
    if (args.contains(QStringLiteral("--version"))) {
        out << "vantrel-cli " << VANTREL_VERSION << "\n";
        return 0;
    }
    QTextStream err(stderr);
    err << "usage: vantrel-cli --version\n";
    return 2;
}
