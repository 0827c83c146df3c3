#include "printing/pagesetup.h"
#include "store/error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class PageSetupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void settingsFile_data();
    void settingsFile();
    void settingsKeepTheRestOfTheFile();
    void zoomSteps_data();
    void zoomSteps();
    void fits();
    void scrollPercentages();
    void ranges_data();
    void ranges();
    void inchReadout_data();
    void inchReadout();
};

void PageSetupTest::settingsFile_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("marginBottom");
    QTest::newRow("no file") << "en_GB" << QByteArray() << 25.0 << 15.0 << 25.0;
    QTest::newRow("point") << "en_GB" << QByteArray("[Margins]\nLeft=12.4\nTop=20\nMarginBottom=28\n") << 12.4 << 20.0 << 28.0;
    QTest::newRow("comma") << "de_DE" << QByteArray("[Margins]\nLeft=12,4\nTop=x\nMarginBottom=\n") << 12.4 << 15.0 << 25.0;
    QTest::newRow("point in a comma locale") << "de_DE" << QByteArray("[margins]\nleft=12.4\n") << 25.0 << 15.0 << 25.0;
}

void PageSetupTest::settingsFile()
{
    QFETCH(QString, locale);
    QFETCH(QByteArray, stored);
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, marginBottom);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    if (!stored.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(stored);
    }
    const QLocale l(locale);
    MarginSettings s = MarginSettings::load(path, l);
    QCOMPARE(s.left, left);
    QCOMPARE(s.top, top);
    QCOMPARE(s.marginBottom, marginBottom);

    s.left = 12.7;
    s.marginTop = 32;
    s.save(path, l);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    const QByteArray expectedLeft = locale == QLatin1String("de_DE") ? "Left=12,7" : "Left=12.7";
    QVERIFY2(text.contains(expectedLeft), text.constData());
    QVERIFY(text.contains("MarginTop=32\n") || text.contains("MarginTop=32\r\n"));
    // The keys in their order.
    QVERIFY(text.indexOf("Left=") < text.indexOf("Top=") && text.indexOf("Top=") < text.indexOf("Right=")
            && text.indexOf("Bottom=") < text.indexOf("MarginTop=") && text.indexOf("MarginTop=") < text.indexOf("MarginBottom="));
    const MarginSettings back = MarginSettings::load(path, l);
    QCOMPARE(back.left, 12.7);
    QCOMPARE(back.marginTop, 32.0);
}

void PageSetupTest::settingsKeepTheRestOfTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Other]\nKey=Value\n[Margins]\nLeft=30\n");
    }
    MarginSettings s = MarginSettings::load(path, QLocale::c());
    s.right = 1000.5;
    s.save(path, QLocale::c());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("[Other]") && text.contains("Key=Value"));
    QVERIFY(text.contains("Left=30") && text.contains("Right=1000.5"));

    // A folder where the file should be: the write fails with the file's path and nothing changes.
    const QString blocked = dir.filePath(QStringLiteral("blocked"));
    QVERIFY(QDir().mkpath(blocked + QStringLiteral("/Settings.ini")));
    try {
        s.save(blocked + QStringLiteral("/Settings.ini"), QLocale::c());
        QFAIL("saving into a folder succeeded");
    } catch (const Error &error) {
        QCOMPARE(error.message(), QStringLiteral("Unable to write to %1/Settings.ini").arg(blocked));
    }
    QVERIFY(QFileInfo(blocked + QStringLiteral("/Settings.ini")).isDir());
}

void PageSetupTest::zoomSteps_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<int>("in");
    QTest::addColumn<int>("out");
    QTest::newRow("35") << 35 << false << 45 << 30;
    QTest::newRow("400 stops") << 400 << false << 400 << 350;
    QTest::newRow("10 stops") << 10 << false << 14 << 10;
    QTest::newRow("12") << 12 << false << 14 << 10;
    QTest::newRow("fixed") << 35 << true << 50 << 20;
    QTest::newRow("fixed at the limits") << 395 << true << 400 << 380;
}

void PageSetupTest::zoomSteps()
{
    QFETCH(int, zoom);
    QFETCH(bool, fixed);
    QFETCH(int, in);
    QFETCH(int, out);
    // The preview window's limits.
    const PageZoom::Limits limits{10, 400, 15, fixed ? PageZoom::Style::Fixed : PageZoom::Style::Variable};
    QCOMPARE(PageZoom::clamp(PageZoom::zoomIn(zoom, limits), limits), in);
    QCOMPARE(PageZoom::clamp(PageZoom::zoomOut(zoom, limits), limits), out);
}

void PageSetupTest::fits()
{
    const double a4w = 210 / 25.4;
    const double a4h = 297 / 25.4;
    QCOMPARE(PageZoom::fitWhole(898, 569, 20, a4w, a4h), 45);
    QCOMPARE(PageZoom::fitWidth(898, 20, a4w), 105);
    // Landscape in a tall view: the width decides.
    QCOMPARE(PageZoom::fitWhole(600, 1200, 20, a4h, a4w), int(100.0 * 540 / (a4h * 96)));
}

void PageSetupTest::scrollPercentages()
{
    // At the bottom before, at the bottom after; nothing to scroll gives 0.
    const double bottom = PageZoom::positionPercent(700, 1000, 300);
    QCOMPARE(bottom, 100.0);
    QCOMPARE(PageZoom::positionFromPercent(bottom, 2000, 300), 1700);
    QCOMPARE(PageZoom::positionPercent(0, 200, 300), 0.0);
    QCOMPARE(PageZoom::positionFromPercent(50, 200, 300), 0);
}

void PageSetupTest::ranges_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("firstText");
    QTest::addColumn<QString>("lastText");
    QTest::newRow("offered") << "1-5" << true << "1" << "5";
    QTest::newRow("no dash") << "3" << false << "" << "";
    QTest::newRow("reversed") << "2-1" << false << "" << "";
    QTest::newRow("leading blank") << " 2-3" << true << " 2" << "3";
    QTest::newRow("blank after dash") << "2- 3" << true << "2" << " 3";
    QTest::newRow("trailing blank") << "2 -3" << false << "" << "";
    QTest::newRow("from 0") << "0-3" << false << "" << "";
    QTest::newRow("past the end") << "1-6" << false << "" << "";
    QTest::newRow("plus sign") << "+1-+2" << true << "+1" << "+2";
    QTest::newRow("letters") << "a-3" << false << "" << "";
    QTest::newRow("empty last") << "2-" << false << "" << "";
    QTest::newRow("huge") << "1-99999999999" << false << "" << "";
}

void PageSetupTest::ranges()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, firstText);
    QFETCH(QString, lastText);
    const std::optional<PageRange> range = PageRange::parse(text, 5);
    QCOMPARE(range.has_value(), valid);
    if (range) {
        QCOMPARE(range->firstText, firstText);
        QCOMPARE(range->lastText, lastText);
        QVERIFY(range->first >= 1 && range->last <= 5 && range->first <= range->last);
    }
}

void PageSetupTest::inchReadout_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    // Top 19, left 25, bottom 15, right 100, header 5, footer 10.
    QTest::newRow("top with header") << 1 << "en_GB" << "Value in Inches: 0.75 >> Including Header: 0.94";
    QTest::newRow("left") << 2 << "en_GB" << "Value in Inches: 0.98";
    QTest::newRow("bottom with footer") << 3 << "en_GB" << "Value in Inches: 0.59 >> Including Footer: 0.98";
    QTest::newRow("right") << 4 << "en_GB" << "Value in Inches: 3.94";
    QTest::newRow("header drops the second decimal") << 5 << "en_GB" << "Value in Inches: 0.2";
    QTest::newRow("comma locale") << 2 << "de_DE" << "Value in Inches: 0,98";
}

void PageSetupTest::inchReadout()
{
    QFETCH(int, tag);
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QCOMPARE(::inchReadout(tag, 19, 25, 15, 100, 5, 10, QLocale(locale)), text);
    QCOMPARE(::inchReadout(1, 19, 25, 15, 100, 10, 10, QLocale(QStringLiteral("en_GB"))), QStringLiteral("Value in Inches: 0.75 >> Including Header: 1.14"));
}

QTEST_GUILESS_MAIN(PageSetupTest)
#include "tst_pagesetup.moc"
