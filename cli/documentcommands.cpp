#include "cli/commands.h"

#include "editor/control/linkdetection.h"
#include "editor/control/richtextcontrol.h"
#include "editor/embeddedpicture.h"
#include "editor/recipebody.h"
#include "store/datalocation.h"
#include "store/error.h"
#include "store/recipestore.h"
#include "store/table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextStream>
#include <QTextTable>

// Commands that read and write recipe documents (convert, info, import, export). Documents go
// through the editor's own rich-text control, so what they produce is what the editor would.

namespace {

QString extensionOf(const QString &path)
{
    return QFileInfo(path).suffix().toLower();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("cannot read \"%1\": %2").arg(path, file.errorString()));
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw Error(QStringLiteral("cannot write \"%1\": %2").arg(path, file.errorString()));
}

// Loads a document as the editor's Import does; ".zrtf" is a stored recipe body.
void loadDocument(RichTextControl &control, const QString &path)
{
    const QString extension = extensionOf(path);
    if (extension == QLatin1String("zrtf")) {
        control.StreamIn(LoadRecipeBody(readFile(path)));
        return;
    }
    control.setUnicodeMode(extension != QLatin1String("txt"));
    control.LoadFromFile(path);
}

void saveDocument(RichTextControl &control, const QString &path)
{
    const QString extension = extensionOf(path);
    if (extension == QLatin1String("rtf"))
        writeFile(path, control.StreamOut());
    else if (extension == QLatin1String("txt"))
        writeFile(path, control.PlainText().toUtf8());
    else if (extension == QLatin1String("html") || extension == QLatin1String("htm"))
        writeFile(path, control.document()->toHtml().toUtf8());
    else if (extension == QLatin1String("zrtf"))
        writeFile(path, SaveRecipeBody(control.StreamOut()));
    else
        throw Error(QStringLiteral("cannot write \"%1\": use .rtf, .txt, .html or .zrtf").arg(path));
}

int convert(const QStringList &args)
{
    if (args.size() != 2)
        throw Error(QStringLiteral("usage: saporin-cli convert IN OUT"));
    RichTextControl control;
    loadDocument(control, args.at(0));
    saveDocument(control, args.at(1));
    return 0;
}

QJsonObject describe(const QTextDocument *document)
{
    QJsonArray pictures;
    QSet<QString> fonts;
    int links = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.isImageFormat()) {
                const auto picture = EmbeddedPictureStore::find(document, format.toImageFormat().name());
                pictures.append(picture ? EmbeddedPicture::kindName(picture->kind) : QStringLiteral("unknown"));
                continue;
            }
            if (format.isAnchor())
                ++links;
            const QStringList families = format.fontFamilies().toStringList();
            fonts.insert(families.isEmpty() ? document->defaultFont().family() : families.first());
        }
        // A detected address inside a marked link is the same link.
        for (const DetectedLink &link : DetectLinks(block.text())) {
            QTextCursor at(block);
            at.setPosition(block.position() + link.start + 1);
            if (!at.charFormat().isAnchor())
                ++links;
        }
    }
    int tables = 0;
    QList<QTextFrame *> frames{document->rootFrame()};
    while (!frames.isEmpty()) {
        QTextFrame *frame = frames.takeFirst();
        if (qobject_cast<QTextTable *>(frame))
            ++tables;
        frames += frame->childFrames();
    }
    QStringList fontList(fonts.begin(), fonts.end());
    fontList.sort();
    QJsonObject info;
    info[QStringLiteral("characters")] = qMax(0, document->characterCount() - 1);
    info[QStringLiteral("paragraphs")] = document->blockCount();
    info[QStringLiteral("pictures")] = pictures;
    info[QStringLiteral("tables")] = tables;
    info[QStringLiteral("links")] = links;
    info[QStringLiteral("fonts")] = QJsonArray::fromStringList(fontList);
    return info;
}

int info(const QStringList &args, QTextStream &out)
{
    if (args.size() != 1)
        throw Error(QStringLiteral("usage: saporin-cli info IN"));
    RichTextControl control;
    loadDocument(control, args.at(0));
    out << QJsonDocument(describe(control.document())).toJson(QJsonDocument::Compact) << '\n';
    return 0;
}

RecipeStore &openStore(std::unique_ptr<RecipeStore> &store, const QString &directory)
{
    store = std::make_unique<RecipeStore>(directory);
    store->open();
    return *store;
}

// Takes "NAME VALUE" out of the arguments and returns VALUE, or the fallback when it is absent.
QString takeOption(QStringList &args, const QString &name, const QString &fallback = {})
{
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return fallback;
    if (at + 1 >= args.size())
        throw Error(QStringLiteral("%1 needs a value").arg(name));
    const QString value = args.at(at + 1);
    args.remove(at, 2);
    return value;
}

int import(QStringList positional)
{
    const QString tags = takeOption(positional, QStringLiteral("--tags"));
    // The files are documents, so a first argument that names a folder is the data folder.
    const bool named = positional.size() >= 3
                       && (positional.constFirst() == QLatin1String("-") || QFileInfo(positional.constFirst()).isDir());
    const QString directory = named ? DataDirectoryFor(positional.takeFirst()) : QString();
    if (positional.size() < 2)
        throw Error(QStringLiteral("usage: saporin-cli import [DATADIR] CATEGORY FILE... [--tags T]"));
    // Every file is read before the store changes: one bad file imports nothing.
    struct Recipe {
        QString name;
        QByteArray body;
    };
    QList<Recipe> recipes;
    for (const QString &path : positional.mid(1)) {
        const QString name = QFileInfo(path).completeBaseName().left(RecipeStore::RecipeDescriptionSize);
        if (name.isEmpty())
            throw Error(QStringLiteral("\"%1\" gives no recipe name").arg(path));
        recipes.append({name, EncodeBodyFile(path)});
    }
    std::unique_ptr<RecipeStore> store;
    openStore(store, named ? directory : DataLocation::directory());
    if (!store->cdsCategory().locate(RecipeStore::CategoryDescription, positional.at(0)))
        throw Error(QStringLiteral("there is no category \"%1\"").arg(positional.at(0)));
    Table &table = store->cdsRecipe();
    for (const Recipe &recipe : recipes) {
        table.insert();
        table.setText(RecipeStore::RecipeDescription, recipe.name);
        table.setText(RecipeStore::RecipeTag, (tags.isEmpty() ? recipe.name : tags).left(RecipeStore::RecipeTagSize));
        table.setBlob(RecipeStore::RecipeDetail, recipe.body);
        table.post();
    }
    store->close();
    return 0;
}

// A name that is safe as one file name component everywhere.
QString fileNameFor(const QString &name)
{
    QString safe;
    for (const QChar c : name)
        safe += (c < QLatin1Char(' ') || QStringLiteral("/\\:*?\"<>|").contains(c)) ? QLatin1Char('_') : c;
    safe = safe.trimmed();
    if (safe.isEmpty() || safe == QLatin1String(".") || safe == QLatin1String(".."))
        safe = QStringLiteral("_");
    return safe;
}

QString uniquePath(const QDir &dir, const QString &base, const QString &extension)
{
    QString path = dir.filePath(base + extension);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(extension));
    return path;
}

int exportRecipes(QStringList positional)
{
    const QString format = takeOption(positional, QStringLiteral("--format"), QStringLiteral("rtf"));
    const QString directory = TakeDataDirectory(positional, 2);
    if (positional.size() != 1 || (format != QLatin1String("rtf") && format != QLatin1String("txt")))
        throw Error(QStringLiteral("usage: saporin-cli export [DATADIR] OUTDIR --format rtf|txt"));
    std::unique_ptr<RecipeStore> store;
    openStore(store, directory);
    QDir out(positional.at(0));
    if (!out.mkpath(QStringLiteral(".")))
        throw Error(QStringLiteral("cannot create \"%1\"").arg(positional.at(0)));
    Table &categories = store->cdsCategory();
    Table &recipes = store->cdsRecipe();
    const QString extension = QLatin1Char('.') + format;
    auto folderFor = [&](const QString &name) {
        const QString folderName = fileNameFor(name);
        if (!out.mkpath(folderName))
            throw Error(QStringLiteral("cannot create \"%1\"").arg(out.filePath(folderName)));
        return QDir(out.filePath(folderName));
    };
    auto exportOne = [&](const QDir &folder, const QString &name, const QByteArray &stored) {
        RichTextControl control;
        if (!stored.isEmpty())
            control.StreamIn(LoadRecipeBody(stored));
        saveDocument(control, uniquePath(folder, fileNameFor(name), extension));
    };
    for (categories.first(); !categories.eof(); categories.next()) {
        const QDir folder = folderFor(categories.text(RecipeStore::CategoryDescription));
        for (recipes.first(); !recipes.eof(); recipes.next())
            exportOne(folder, recipes.text(RecipeStore::RecipeDescription), recipes.blob(RecipeStore::RecipeDetail));
    }
    // Recipes whose category is missing go into a folder per missing category number, as listed.
    const TableDef &def = recipes.definition();
    for (const int row : store->unfiledRecipeRows()) {
        const QDir folder = folderFor(
            missingCategoryHeading(recipes.storedValue(row, def.indexOf(RecipeStore::CategoryNo)).toString()));
        exportOne(folder, recipes.storedValue(row, def.indexOf(RecipeStore::RecipeDescription)).toString(),
                  recipes.storedValue(row, def.indexOf(RecipeStore::RecipeDetail)).toByteArray());
    }
    store->close();
    return 0;
}

} // namespace

QByteArray EncodeBodyFile(const QString &path)
{
    RichTextControl control;
    loadDocument(control, path);
    return SaveRecipeBody(control.StreamOut());
}

std::optional<int> runDocumentCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString command = args.value(0);
    const QStringList rest = args.mid(1);
    try {
        if (command == QLatin1String("convert"))
            return convert(rest);
        if (command == QLatin1String("info"))
            return info(rest, out);
        if (command == QLatin1String("import"))
            return import(rest);
        if (command == QLatin1String("export"))
            return exportRecipes(rest);
    } catch (const Error &error) {
        err << "saporin-cli: " << error.message() << '\n';
        return 1;
    }
    return std::nullopt;
}

QStringList documentCommandUsage()
{
    return {
        QStringLiteral("convert IN OUT                     .rtf/.txt/.zrtf in; .rtf/.txt/.html/.zrtf out"),
        QStringLiteral("info IN                            one line of JSON about a document"),
        QStringLiteral("import [DATADIR] CATEGORY FILE... [--tags T]   adds recipes from RTF or text files"),
        QStringLiteral("export [DATADIR] OUTDIR --format rtf|txt       one file per recipe, a folder per category"),
    };
}

void LoadDocumentFile(RichTextControl &control, const QString &path)
{
    loadDocument(control, path);
}

QString TakeOption(QStringList &args, const QString &name, const QString &fallback)
{
    return takeOption(args, name, fallback);
}
