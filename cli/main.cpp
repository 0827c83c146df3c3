#include "cli/commands.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void printUsage(QTextStream &err)
{
    err << "usage: saporin-cli COMMAND ARGUMENTS\n\ncommands:\n";
    for (const QString &line : storeCommandUsage() + documentCommandUsage() + printCommandUsage() + extraCommandUsage() + tableCommandUsage() + mealMasterCommandUsage())
        err << "  " << line << '\n';
}

} // namespace

int main(int argc, char *argv[])
{
    // Documents and pictures need fonts and a painting surface, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray runtime = QDir::tempPath().toLocal8Bit() + "/runtime-saporin-" + QByteArray::number(::getuid());
        if (::mkdir(runtime.constData(), 0700) == 0 || errno == EEXIST)
            qputenv("XDG_RUNTIME_DIR", runtime);
    }
    QApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty() || args.constFirst() == QLatin1String("--help") || args.constFirst() == QLatin1String("-h")) {
        printUsage(args.isEmpty() ? err : out);
        return args.isEmpty() ? 2 : 0;
    }
    for (auto *group : {&runStoreCommand, &runDocumentCommand, &runPrintCommand, &runExtraCommand, &runTableCommand, &runMealMasterCommand}) {
        if (const std::optional<int> code = group(args, out, err))
            return *code;
    }
    err << "saporin-cli: unknown command \"" << args.constFirst() << "\"\n";
    printUsage(err);
    return 2;
}
