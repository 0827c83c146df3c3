#include "cli/commands.h"

#include "editor/recipebody.h"
#include "interchange/mealmasterbody.h"
#include "interchange/mealmasterreader.h"
#include "interchange/mealmasterwriter.h"
#include "store/error.h"
#include "store/recipestore.h"
#include "store/table.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <memory>

// MealMaster archives in and out of the recipe store. The import reads each file in chunks, so
// an archive of any size takes no more memory than the recipes it adds to the store.

namespace {

constexpr qint64 ChunkSize = 1 << 20;
// Past this many recipes the import shows how far it is, every ProgressStep recipes.
constexpr int ProgressFrom = 5000;
constexpr int ProgressStep = 1000;

QStringList takeFlags(QStringList &args, QStringList &values, const QStringList &names)
{
    values = QStringList(names.size());
    QStringList positional;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        const qsizetype at = names.indexOf(arg);
        if (at < 0) {
            positional << arg;
            continue;
        }
        if (args.isEmpty())
            throw Error(QStringLiteral("%1 needs a value").arg(arg));
        values[at] = args.takeFirst();
    }
    return positional;
}

// Where the recipes of one import go: the category is found or created as each recipe names it.
class ImportTarget
{
public:
    ImportTarget(RecipeStore &store, const QString &category)
        : m_store(store), m_category(category)
    {
    }

    void add(const MealMasterRecipe &recipe)
    {
        QString category = m_category.isEmpty() ? recipe.categories.value(0) : m_category;
        if (category.trimmed().isEmpty())
            category = QStringLiteral("MealMaster");
        category = Table::cutToSize(category, RecipeStore::CategoryDescriptionSize);
        Table &categories = m_store.cdsCategory();
        if (category != m_current) {
            if (!categories.locate(RecipeStore::CategoryDescription, category)) {
                categories.insert();
                categories.setText(RecipeStore::CategoryDescription, category);
                categories.post();
            }
            m_current = category;
        }
        const QByteArray body = StoredMealMasterBody(recipe);
        Table &recipes = m_store.cdsRecipe();
        recipes.insert();
        recipes.setText(RecipeStore::RecipeDescription, Table::cutToSize(recipe.title, RecipeStore::RecipeDescriptionSize));
        recipes.setText(RecipeStore::RecipeTag,
                        Table::cutToSize(recipe.categories.join(QLatin1String(", ")), RecipeStore::RecipeTagSize));
        recipes.setBlob(RecipeStore::RecipeDetail, body);
        recipes.post();
    }

private:
    RecipeStore &m_store;
    QString m_category;
    QString m_current;
};

// The rejects of one or more inputs, written as they come: a line saying why and where, then the
// recipe's own lines as they stood. The file is made only when something is rejected.
class RejectsFile
{
public:
    explicit RejectsFile(const QString &path) : m_file(path) {}

    void add(const QString &input, const MealMasterReject &reject)
    {
        if (!m_file.isOpen() && !m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw Error(QStringLiteral("cannot write \"%1\": %2").arg(m_file.fileName(), m_file.errorString()));
        QByteArray why = QStringLiteral("# rejected (%1): header at line %2 of %3").arg(reject.reason).arg(reject.line).arg(input).toUtf8();
        why += '\n';
        if (m_file.write(why) != why.size() || m_file.write(reject.original) != reject.original.size()
            || (!reject.original.endsWith('\n') && !reject.original.endsWith('\r') && m_file.write("\n") != 1))
            throw Error(QStringLiteral("cannot write \"%1\": %2").arg(m_file.fileName(), m_file.errorString()));
    }

    void close()
    {
        if (m_file.isOpen() && !m_file.flush())
            throw Error(QStringLiteral("cannot write \"%1\": %2").arg(m_file.fileName(), m_file.errorString()));
        m_file.close();
    }

    [[nodiscard]] QString path() const { return m_file.fileName(); }

private:
    QFile m_file;
};

int importMealMaster(QStringList args, QTextStream &out, QTextStream &err)
{
    QStringList options;
    QStringList positional = takeFlags(args, options, {QStringLiteral("--category"), QStringLiteral("--encoding"), QStringLiteral("--rejects")});
    const QString usage = QStringLiteral(
        "usage: saporin-cli import-mealmaster DATADIR FILE... [--category NAME] [--encoding auto|utf-8|cp1252|cp437] [--rejects FILE]");
    if (positional.size() < 2)
        throw Error(usage);
    const QString directory = DataDirectoryFor(positional.takeFirst());
    bool known = true;
    const MealMasterReader::Encoding encoding = options.at(1).isEmpty()
        ? MealMasterReader::Encoding::Auto : MealMasterReader::encodingFromName(options.at(1), &known);
    if (!known)
        throw Error(usage);
    const QString category = options.at(0).trimmed();

    // Every input must be readable before the store is touched.
    std::vector<std::unique_ptr<QFile>> inputs;
    for (const QString &path : positional) {
        auto file = std::make_unique<QFile>(path);
        if (!file->open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("cannot read \"%1\": %2").arg(path, file->errorString()));
        inputs.push_back(std::move(file));
    }

    RecipeStore store(directory);
    store.open();
    ImportTarget target(store, category);
    std::unique_ptr<RejectsFile> sharedRejects;
    if (!options.at(2).isEmpty())
        sharedRejects = std::make_unique<RejectsFile>(options.at(2));
    int imported = 0;
    int rejected = 0;
    bool progressShown = false;
    for (const auto &input : inputs) {
        const QString path = input->fileName();
        std::unique_ptr<RejectsFile> ownRejects;
        RejectsFile &rejects = sharedRejects ? *sharedRejects : *(ownRejects = std::make_unique<RejectsFile>(path + QLatin1String(".rejects")));
        MealMasterReader::Encoding used = encoding;
        if (used == MealMasterReader::Encoding::Auto) {
            MealMasterReader::AutoDetector detector;
            while (!input->atEnd()) {
                const QByteArray chunk = input->read(ChunkSize);
                if (chunk.isEmpty() && input->error() != QFile::NoError)
                    throw Error(QStringLiteral("cannot read \"%1\": %2").arg(path, input->errorString()));
                detector.feed(chunk);
            }
            used = detector.result();
            if (!input->seek(0))
                throw Error(QStringLiteral("cannot read \"%1\": %2").arg(path, input->errorString()));
        }
        MealMasterReader reader(
            used,
            [&](MealMasterRecipe &&recipe) {
                target.add(recipe);
                const int done = ++imported + rejected;
                if (done >= ProgressFrom && done % ProgressStep == 0) {
                    err << "\r" << done << " recipes read" << Qt::flush;
                    progressShown = true;
                }
            },
            [&](MealMasterReject &&reject) {
                rejects.add(path, reject);
                ++rejected;
            });
        while (!input->atEnd()) {
            const QByteArray chunk = input->read(ChunkSize);
            if (chunk.isEmpty() && input->error() != QFile::NoError)
                throw Error(QStringLiteral("cannot read \"%1\": %2").arg(path, input->errorString()));
            reader.feed(chunk);
        }
        reader.finish();
        if (ownRejects)
            ownRejects->close();
    }
    if (sharedRejects)
        sharedRejects->close();
    if (progressShown)
        err << '\n';
    store.close();
    out << imported << " imported, " << rejected << " rejected\n";
    return 0;
}

int exportMealMaster(QStringList args)
{
    QStringList options;
    QStringList positional = takeFlags(args, options, {QStringLiteral("--category")});
    if (positional.size() != 2)
        throw Error(QStringLiteral("usage: saporin-cli export-mealmaster DATADIR OUT [--category NAME]"));
    const QString directory = DataDirectoryFor(positional.at(0));
    RecipeStore store(directory);
    store.open();
    Table &categories = store.cdsCategory();
    Table &recipes = store.cdsRecipe();
    const QString only = options.at(0);
    if (!only.isEmpty() && !categories.locate(RecipeStore::CategoryDescription, only))
        throw Error(QStringLiteral("there is no category \"%1\"").arg(only));

    QSaveFile file(positional.at(1));
    if (!file.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("cannot write \"%1\": %2").arg(positional.at(1), file.errorString()));
    auto exportCategory = [&] {
        const QString category = categories.text(RecipeStore::CategoryDescription);
        for (recipes.first(); !recipes.eof(); recipes.next()) {
            const QByteArray stored = recipes.blob(RecipeStore::RecipeDetail);
            const MealMasterRecipe recipe = MealMasterWriter::fromStored(
                recipes.text(RecipeStore::RecipeDescription), category, recipes.text(RecipeStore::RecipeTag),
                stored.isEmpty() ? QByteArray() : LoadRecipeBody(stored));
            const QByteArray text = MealMasterWriter::write(recipe);
            if (file.write(text) != text.size())
                throw Error(QStringLiteral("cannot write \"%1\": %2").arg(positional.at(1), file.errorString()));
        }
    };
    if (!only.isEmpty()) {
        exportCategory();
    } else {
        for (categories.first(); !categories.eof(); categories.next())
            exportCategory();
    }
    if (!file.commit())
        throw Error(QStringLiteral("cannot write \"%1\": %2").arg(positional.at(1), file.errorString()));
    store.close();
    return 0;
}

} // namespace

std::optional<int> runMealMasterCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString command = args.value(0);
    const QStringList rest = args.mid(1);
    try {
        if (command == QLatin1String("import-mealmaster"))
            return importMealMaster(rest, out, err);
        if (command == QLatin1String("export-mealmaster"))
            return exportMealMaster(rest);
    } catch (const Error &error) {
        out.flush();
        err << "saporin-cli: " << error.message() << '\n';
        return 1;
    }
    return std::nullopt;
}

QStringList mealMasterCommandUsage()
{
    return {
        QStringLiteral("import-mealmaster DATADIR FILE... [--category NAME] [--encoding auto|utf-8|cp1252|cp437] [--rejects FILE]"),
        QStringLiteral("                                   imports MealMaster archives; unreadable recipes go to the rejects file"),
        QStringLiteral("export-mealmaster DATADIR OUT [--category NAME]   writes recipes as a MealMaster archive"),
    };
}
