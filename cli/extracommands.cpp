#include "cli/commands.h"

#include "widgets/ui/gallery.h"

#include <QTextStream>

// Commands that draw with the program's widgets.

std::optional<int> runExtraCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.value(0) != QLatin1String("widget-gallery"))
        return std::nullopt;
    if (args.size() != 2) {
        err << "usage: saporin-cli widget-gallery OUT.png\n";
        return 2;
    }
    const int result = runWidgetGallery(args.at(1));
    if (result == 0)
        out << "wrote " << args.at(1) << '\n';
    else
        err << "could not write " << args.at(1) << '\n';
    return result;
}

QStringList extraCommandUsage()
{
    return {QStringLiteral("widget-gallery OUT.png   draw every gradient widget in its states")};
}
