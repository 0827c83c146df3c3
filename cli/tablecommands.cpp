#include "cli/commands.h"

#include "store/error.h"
#include "tables/jpegwriter.h"
#include "tables/rendergrid.h"
#include "tables/tabledesign.h"
#include "tables/tabletext.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

// The table builder's files from the command line: a table text file drawn as a picture with the
// builder's default styles, or turned into CSV, by the same code as the window.

namespace {

// The table of a table text file with the builder's default styles for its size.
void loadTable(const QString &path, TableDesign &design)
{
    design.importFile(path);
    design.rebuildStyles();
}

int render(const QString &in, const QString &out, QTextStream &err)
{
    const QString extension = QFileInfo(out).suffix().toLower();
    if (extension != QLatin1String("emf") && extension != QLatin1String("png") && extension != QLatin1String("bmp")
        && extension != QLatin1String("jpg") && extension != QLatin1String("jpeg")) {
        err << "saporin-cli: the picture must be .emf, .png, .bmp or .jpg: " << out << '\n';
        return 2;
    }
    TableDesign design;
    loadTable(in, design);
    QString failure;
    TRenderGrid renderer(&design.grid(), &design.styles(), [&failure](const QString &message) { failure = message; });
    if (extension == QLatin1String("emf")) {
        renderer.Render();
        QFile file(out);
        if (!failure.isEmpty() || renderer.Metafile().isEmpty())
            throw Error(failure.isEmpty() ? QStringLiteral("nothing was drawn") : failure);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(renderer.Metafile()) != renderer.Metafile().size())
            throw Error(QStringLiteral("Cannot create file %1").arg(out));
        return 0;
    }
    const QImage image = renderer.renderImage();
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg"))
        WriteJpeg(image, out, 100);
    else if (!image.save(out, extension == QLatin1String("bmp") ? "BMP" : "PNG"))
        throw Error(QStringLiteral("Cannot create file %1").arg(out));
    return 0;
}

} // namespace

std::optional<int> runTableCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.value(0) != QLatin1String("table"))
        return std::nullopt;
    const QString command = args.value(1);
    if (args.size() != 4 || (command != QLatin1String("render") && command != QLatin1String("csv"))) {
        err << "usage: saporin-cli table render IN.txt OUT.{emf,png,bmp,jpg}\n"
               "       saporin-cli table csv IN.txt OUT.csv\n";
        return 2;
    }
    try {
        if (command == QLatin1String("render")) {
            if (const int code = render(args.at(2), args.at(3), err))
                return code;
        } else {
            TableDesign design;
            loadTable(args.at(2), design);
            TableText::writeCsvFile(args.at(3), design.grid());
        }
    } catch (const Error &error) {
        err << "saporin-cli: " << error.message() << '\n';
        return 1;
    }
    out << "wrote " << args.at(3) << '\n';
    return 0;
}

QStringList tableCommandUsage()
{
    return {QStringLiteral("table render IN.txt OUT.{emf,png,bmp,jpg}   draw a table text file as the table builder does"),
            QStringLiteral("table csv IN.txt OUT.csv   convert a table text file to CSV")};
}
