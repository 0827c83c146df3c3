// Measures the MealMaster import without the store: reading a generated archive and building
// each recipe's stored body (RTF, then deflate), against a baseline that only splits the same
// bytes into decoded lines, in processor time. Target at scale 1 (10,000 recipes, about 10 MB): at most 1.0 s.
// Usage: bench_interchange [--scale S] [--repeat N]

#include "interchange/mealmasterbody.h"
#include "interchange/mealmasterreader.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

quint64 state = 0x2545F4914F6CDD1Dull;
quint64 nextRandom()
{
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

const char *const Words[] = {"flour", "sugar", "butter", "onion", "garlic", "chopped", "fresh", "ground", "pepper",
                             "salt", "water", "simmer", "until", "tender", "stir", "the", "and", "with", "bake", "minutes"};

QByteArray words(int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        if (i)
            text += ' ';
        text += Words[nextRandom() % std::size(Words)];
    }
    return text;
}

// About 1 KB per recipe: a two-column block, a section heading, continuations and directions.
QByteArray archive(int recipes)
{
    QByteArray text;
    text.reserve(qsizetype(recipes) * 1100);
    for (int r = 0; r < recipes; ++r) {
        text += "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n \r\n      Title: Recipe ";
        text += QByteArray::number(r) + ' ' + words(3);
        text += "\r\n Categories: Main dish, " + words(1) + "\r\n      Yield: 4 servings\r\n \r\n";
        for (int i = 0; i < 6; ++i) {
            QByteArray left = "      1 c  " + words(3);
            left = left.leftJustified(40, ' ', true);
            text += left + "  1 1/2 tb " + words(2) + "\r\n";
        }
        text += "MMMMM-----------------------FILLING---------------------------\r\n";
        text += "      2 lb " + words(4) + "\r\n           -" + words(2) + "\r\n \r\n";
        for (int p = 0; p < 3; ++p) {
            for (int l = 0; l < 3; ++l)
                text += "  " + words(10) + "\r\n";
            text += " \r\n";
        }
        text += "MMMMM\r\n\r\n";
    }
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const qsizetype scaleAt = args.indexOf(QStringLiteral("--scale"));
    const qsizetype repeatAt = args.indexOf(QStringLiteral("--repeat"));
    const double scale = scaleAt > 0 ? args.value(scaleAt + 1).toDouble() : 1.0;
    const int repeat = std::max(1, repeatAt > 0 ? args.value(repeatAt + 1).toInt() : 3);
    const int count = std::max(1, int(10000 * scale));
    const QByteArray text = archive(count);

    // Processor time of this process, so that other work on a shared machine counts less.
    auto cpuSeconds = [] {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return double(now.tv_sec) + now.tv_nsec / 1e9;
    };
    double baseline = 1e9;
    double parseOnly = 1e9;
    double best = 1e9;
    double bestWall = 1e9;
    int imported = 0;
    for (int run = 0; run < repeat; ++run) {
        double started = cpuSeconds();
        qsizetype characters = 0;
        for (qsizetype from = 0; from < text.size();) {
            qsizetype end = text.indexOf('\n', from);
            if (end < 0)
                end = text.size();
            characters += QString::fromLatin1(QByteArrayView(text).sliced(from, end - from)).size();
            from = end + 1;
        }
        baseline = std::min(baseline, cpuSeconds() - started);

        started = cpuSeconds();
        int parsed = 0;
        MealMasterReader::readAll(text, MealMasterReader::Encoding::Auto, [&](MealMasterRecipe &&) { ++parsed; },
                                  [](MealMasterReject &&) {});
        parseOnly = std::min(parseOnly, cpuSeconds() - started);

        QElapsedTimer wall;
        wall.start();
        started = cpuSeconds();
        qsizetype bodyBytes = 0;
        imported = 0;
        MealMasterReader::readAll(
            text, MealMasterReader::Encoding::Auto,
            [&](MealMasterRecipe &&recipe) {
                bodyBytes += StoredMealMasterBody(recipe).size();
                ++imported;
            },
            [](MealMasterReject &&) {});
        best = std::min(best, cpuSeconds() - started);
        bestWall = std::min(bestWall, wall.nsecsElapsed() / 1e9);
        if (characters == 0 || bodyBytes == 0 || parsed != imported)
            return 1;
    }
    const double target = 1.0 * count / 10000;
    std::printf("%d recipes, %.1f MB (processor time): parse and bodies %.3f s (target %.3f s, wall %.3f s), "
                "parse alone %.3f s, line split baseline %.3f s, ratio %.1f\n",
                count, text.size() / 1e6, best, target, bestWall, parseOnly, baseline, best / baseline);
    if (imported != count) {
        std::printf("FAIL: %d of %d recipes read\n", imported, count);
        return 1;
    }
    // Only a run at full scale judges the time; small runs are too short to mean anything.
    if (scale >= 1.0 && best > target) {
        std::printf("FAIL: over the target\n");
        return 1;
    }
    return 0;
}
