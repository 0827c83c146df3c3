// Measures the recipe store against bare SQLite on a generated collection:
//   open both tables      vs. reading the same rows straight from SQLite into plain structs
//   write both tables     vs. a bare SQLite bulk insert of the same rows
//   move to a category with 5,000 recipes and walk its view (absolute time)
//   peak memory of a run that opens and writes both tables, against the bodies' size
// Usage: bench_store [--scale S] [--repeat N] [--dir DIR]
// Scale 1 is 2,000 categories and 100,000 recipes whose bodies total about 1 GB.

#include "store/recipestore.h"
#include "store/table.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct CategoryRow {
    int no;
    QString name;
};

struct RecipeRow {
    int no;
    int category;
    QString name;
    QByteArray body;
    QString tags;
};

struct Collection {
    std::vector<CategoryRow> categories;
    std::vector<RecipeRow> recipes;
    qint64 bodyBytes = 0;
};

// Plain structs of the kind a program without a table engine would read into.
struct PlainRecipe {
    int no;
    int category;
    std::string name;
    std::string body;
    std::string tags;
};

quint64 state = 0x9E3779B97F4A7C15ull;
quint64 nextRandom()
{
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

QString word()
{
    static const char *const syllables[] = {"ba", "ke", "lo", "mi", "nu", "ra", "so", "ti", "ve", "zu", "chi", "dor"};
    QString result;
    const int count = 2 + int(nextRandom() % 3);
    for (int i = 0; i < count; ++i)
        result += QLatin1String(syllables[nextRandom() % 12]);
    result[0] = result[0].toUpper();
    return result;
}

Collection generate(double scale)
{
    Collection c;
    const int categories = std::max(2, int(2000 * scale));
    const int recipes = std::max(5000 + categories, int(100000 * scale));
    const int averageBody = 10 * 1024;
    for (int i = 0; i < categories; ++i)
        c.categories.push_back({i + 1, word() + QLatin1Char(' ') + word() + QLatin1Char(' ') + QString::number(i)});
    for (int i = 0; i < recipes; ++i) {
        // Category 1 holds 5,000 recipes; the rest are spread over the others.
        const int category = i < 5000 ? 1 : 2 + int(nextRandom() % quint64(categories - 1));
        const int size = averageBody / 5 + int(nextRandom() % quint64(averageBody * 8 / 5));
        QByteArray body(size, Qt::Uninitialized);
        auto *words = reinterpret_cast<quint64 *>(body.data());
        for (int w = 0; w < size / 8; ++w)
            words[w] = nextRandom();
        c.bodyBytes += size;
        c.recipes.push_back({i + 1, category, word() + QLatin1Char(' ') + word(), body,
                             word().toLower() + QLatin1Char(' ') + word().toLower()});
    }
    return c;
}

void check(int rc, sqlite3 *db, const char *what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

// A bare bulk insert with SQLite's defaults, in one transaction.
void bareInsert(const Collection &c, const QString &directory)
{
    const QString path = directory + QStringLiteral("/bare.db");
    QFile::remove(path);
    sqlite3 *db = nullptr;
    check(sqlite3_open(QFile::encodeName(path).constData(), &db), db, "open");
    check(sqlite3_exec(db, "BEGIN; CREATE TABLE category(no INTEGER, name TEXT);"
                           "CREATE TABLE recipe(no INTEGER, category INTEGER, name TEXT, body BLOB, tags TEXT);",
                       nullptr, nullptr, nullptr), db, "create");
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO category VALUES (?, ?)", -1, &stmt, nullptr);
    for (const CategoryRow &row : c.categories) {
        const QByteArray name = row.name.toUtf8();
        sqlite3_bind_int(stmt, 1, row.no);
        sqlite3_bind_text(stmt, 2, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        check(sqlite3_step(stmt), db, "insert");
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_prepare_v2(db, "INSERT INTO recipe VALUES (?, ?, ?, ?, ?)", -1, &stmt, nullptr);
    for (const RecipeRow &row : c.recipes) {
        const QByteArray name = row.name.toUtf8();
        const QByteArray tags = row.tags.toUtf8();
        sqlite3_bind_int(stmt, 1, row.no);
        sqlite3_bind_int(stmt, 2, row.category);
        sqlite3_bind_text(stmt, 3, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob64(stmt, 4, row.body.constData(), sqlite3_uint64(row.body.size()), SQLITE_STATIC);
        sqlite3_bind_text(stmt, 5, tags.constData(), int(tags.size()), SQLITE_TRANSIENT);
        check(sqlite3_step(stmt), db, "insert");
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

// Reads the rows of the store's own files straight from SQLite into plain structs.
size_t bareRead(const QString &directory)
{
    std::vector<std::pair<int, std::string>> categories;
    std::vector<PlainRecipe> recipes;
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(directory + QStringLiteral("/Category.cds")).constData(), &db,
                    SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT CategoryNo, CategoryDescription FROM Category", -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        categories.emplace_back(sqlite3_column_int(stmt, 0),
                                std::string(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1)),
                                            size_t(sqlite3_column_bytes(stmt, 1))));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    sqlite3_open_v2(QFile::encodeName(directory + QStringLiteral("/Recipe.cds")).constData(), &db,
                    SQLITE_OPEN_READONLY, nullptr);
    sqlite3_prepare_v2(db, "SELECT RecipeNo, CategoryNo, RecipeDescription, RecipeDetail, RecipeTag FROM Recipe",
                       -1, &stmt, nullptr);
    auto text = [&](int column) {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(stmt, column));
        return std::string(data ? data : "", size_t(sqlite3_column_bytes(stmt, column)));
    };
    while (sqlite3_step(stmt) == SQLITE_ROW)
        recipes.push_back({sqlite3_column_int(stmt, 0), sqlite3_column_int(stmt, 1), text(2), text(3), text(4)});
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return categories.size() + recipes.size();
}

qint64 peakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// The child run: open both tables, change one record, close (which writes both... the changed one).
int childRun(const QString &directory)
{
    RecipeStore store(directory);
    store.open();
    store.cdsRecipe().setRecNo(1);   // touch every table: a recipe and a category change
    store.cdsRecipe().edit();
    store.cdsRecipe().setText(RecipeStore::RecipeTag, QStringLiteral("changed"));
    store.cdsRecipe().post();
    store.cdsCategory().edit();
    store.cdsCategory().setText(RecipeStore::CategoryDescription, QStringLiteral("Changed"));
    store.cdsCategory().post();
    store.close();
    std::printf("%lld\n", peakMemoryKiB());
    return 0;
}

double seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--child"))
        return childRun(args.at(2));

    double scale = 1.0;
    int repeat = 3;
    QString base;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--scale"))
            scale = args.at(i + 1).toDouble();
        else if (args.at(i) == QLatin1String("--repeat"))
            repeat = std::max(1, args.at(i + 1).toInt());
        else if (args.at(i) == QLatin1String("--dir"))
            base = args.at(i + 1);
    }
    QTemporaryDir scratch(base.isEmpty() ? QDir::tempPath() + QStringLiteral("/bench_store-XXXXXX")
                                         : base + QStringLiteral("/bench_store-XXXXXX"));
    const QString dir = scratch.path();

    std::printf("generating scale %.3f ...\n", scale);
    std::fflush(stdout);
    Collection c = generate(scale);
    std::printf("collection: %zu categories, %zu recipes, bodies %.1f MB\n", c.categories.size(), c.recipes.size(),
                double(c.bodyBytes) / 1e6);

    // Fill the store as the program would, through inserts and posts.
    {
        RecipeStore store(dir);
        store.open();
        Table &categories = store.cdsCategory();
        Table &recipes = store.cdsRecipe();
        for (const CategoryRow &row : c.categories) {
            categories.insert();
            categories.setText(RecipeStore::CategoryDescription, row.name);
            categories.post();
        }
        int current = -1;
        for (const RecipeRow &row : c.recipes) {
            if (row.category != current) {
                current = row.category;
                categories.locate(RecipeStore::CategoryDescription, c.categories[size_t(current - 1)].name);
            }
            recipes.insert();
            recipes.setText(RecipeStore::RecipeDescription, row.name);
            recipes.setBlob(RecipeStore::RecipeDetail, row.body);
            recipes.setText(RecipeStore::RecipeTag, row.tags);
            recipes.post();
        }
        store.close();
    }

    double bareWrite = 1e9, ourWrite = 1e9, bareOpen = 1e9, ourOpen = 1e9, move = 1e9;
    for (int round = 0; round < repeat; ++round) {
        QElapsedTimer timer;
        timer.start();
        const size_t rows = bareRead(dir);
        bareOpen = std::min(bareOpen, seconds(timer));

        RecipeStore store(dir);
        timer.restart();
        store.open();
        ourOpen = std::min(ourOpen, seconds(timer));
        if (size_t(store.cdsCategory().totalRecordCount() + store.cdsRecipe().totalRecordCount()) != rows) {
            std::fprintf(stderr, "row counts differ\n");
            return 1;
        }

        // Clicking the big category: locate it, then walk its view as the recipe list fill does.
        for (int i = 0; i < 20; ++i) {
            store.cdsCategory().first();
            timer.restart();
            store.LocateSelectedCategory(c.categories.front().name);
            Table &recipes = store.cdsRecipe();
            QStringList names;
            names.reserve(recipes.recordCount());
            for (recipes.first(); !recipes.eof(); recipes.next())
                names << recipes.text(RecipeStore::RecipeDescription);
            recipes.first();
            move = std::min(move, seconds(timer));
            if (names.size() != 5000) {
                std::fprintf(stderr, "the big category shows %lld recipes\n", qlonglong(names.size()));
                return 1;
            }
        }

        timer.restart();
        bareInsert(c, dir);
        bareWrite = std::min(bareWrite, seconds(timer));
        QFile::remove(dir + QStringLiteral("/bare.db"));

        // Mark both tables changed, then time the close that writes them.
        store.cdsCategory().edit();
        store.cdsCategory().setText(RecipeStore::CategoryDescription, c.categories.front().name);
        store.cdsCategory().post();
        store.cdsRecipe().edit();
        store.cdsRecipe().setText(RecipeStore::RecipeTag, QStringLiteral("x"));
        store.cdsRecipe().post();
        timer.restart();
        store.close();
        ourWrite = std::min(ourWrite, seconds(timer));
    }

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), dir});
    child.waitForFinished(-1);
    const qint64 peakKiB = child.readAllStandardOutput().trimmed().toLongLong();
    const double peakMB = double(peakKiB) * 1024 / 1e6;
    const double allowedMB = 1.3 * double(c.bodyBytes) / 1e6 + 100;

    auto verdict = [](bool ok) { return ok ? "ok" : "OVER"; };
    std::printf("open both tables     %8.3f s   bare SQLite read %8.3f s   ratio %.2f (target <= 1.5) %s\n",
                ourOpen, bareOpen, ourOpen / bareOpen, verdict(ourOpen / bareOpen <= 1.5));
    std::printf("write both tables    %8.3f s   bare SQLite bulk %8.3f s   ratio %.2f (target <= 1.5) %s\n",
                ourWrite, bareWrite, ourWrite / bareWrite, verdict(ourWrite / bareWrite <= 1.5));
    std::printf("category of 5,000    %8.3f ms  (target < 10 ms) %s\n", move * 1000, verdict(move < 0.010));
    std::printf("peak memory          %8.1f MB  allowed %.1f MB (1.3 x bodies + 100 MB)   ratio %.2f %s\n", peakMB,
                allowedMB, peakMB / allowedMB, verdict(peakMB <= allowedMB));
    return 0;
}
