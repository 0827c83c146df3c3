#include "store/inifile.h"
#include "app/windowplacement.h"

#include <QTemporaryDir>
#include <QTest>

using State = WindowPlacement::Restored::State;

class PlacementTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void profileKeepsKeysAndValuesExactly();
    void profileReadsHandEditedText();
    void savedPlacementRestores();
    void otherScreenSizeUsesPlainKeys();
    void otherPixelsPerInchKeepsOnlyTheState();
    void showCommands_data();
    void showCommands();
    void damagedTextFallsBackWordByWord();
    void fixedBorderKeepsItsSize();
};

void PlacementTest::profileKeepsKeysAndValuesExactly()
{
    QTemporaryDir dir;
    IniFile profile(dir.filePath(QStringLiteral("saporin.INI")));
    WindowPlacement::Saved saved;
    saved.showCmd = WindowPlacement::Maximized;
    saved.normal = QRect(QPoint(1, 2), QPoint(1026, 604));   // right 1027, bottom 605 as written
    WindowPlacement::save(profile, QStringLiteral("TfrmMain"), saved, QSize(1280, 1024));
    QVERIFY(profile.save());

    QFile file(profile.path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QCOMPARE(text, QByteArray("[TfrmMain]\r\nFormVersion=0\r\nFlags=0\r\nShowCmd=3\r\nPixelsPerInch=96\r\n"
                              "MinMaxPos=-1,-1,-1,-1\r\nMinMaxPos(1280x1024)=-1,-1,-1,-1\r\n"
                              "NormPos=1,2,1027,605\r\nNormPos(1280x1024)=1,2,1027,605\r\nVisible=0\r\n"));
}

void PlacementTest::profileReadsHandEditedText()
{
    IniFile profile;
    profile.parse("; a comment\n  [tfrmmain]  \nshowcmd = 3\nNoEquals\n=orphan\n[Other]\nShowCmd=1\n[TfrmMain]\nFlags=2\n");
    QCOMPARE(profile.intValue(QStringLiteral("TfrmMain"), QStringLiteral("ShowCmd"), 0), 3);
    QCOMPARE(profile.intValue(QStringLiteral("TfrmMain"), QStringLiteral("Flags"), 0), 2);
    QCOMPARE(profile.intValue(QStringLiteral("TfrmMain"), QStringLiteral("Missing"), 7), 7);
    QCOMPARE(profile.value(QStringLiteral("Other"), QStringLiteral("ShowCmd")), QStringLiteral("1"));
    IniFile garbage;
    garbage.parse(QByteArray("\x00\xff\xfe[[[]]]==\n\n", 12));   // never fails, just finds nothing
    QVERIFY(!garbage.contains(QStringLiteral("TfrmMain"), QStringLiteral("ShowCmd")));
}

void PlacementTest::savedPlacementRestores()
{
    IniFile profile;
    WindowPlacement::Saved saved;
    saved.normal = QRect(100, 50, 800, 500);
    WindowPlacement::save(profile, QStringLiteral("TfrmMain"), saved, QSize(1920, 1080));
    WindowPlacement::Current current;
    current.geometry = QRect(0, 0, 1026, 603);
    const auto restored = WindowPlacement::restore(profile, QStringLiteral("TfrmMain"), current, QSize(1920, 1080));
    QVERIFY(restored.applyPosition);
    QCOMPARE(restored.normal, QRect(100, 50, 800, 500));
    QCOMPARE(restored.state, State::Normal);

    // No profile at all: nothing to apply, the window opens as designed.
    const auto first = WindowPlacement::restore(IniFile(), QStringLiteral("TfrmMain"), current, QSize(1920, 1080));
    QVERIFY(!first.applyPosition);
    QCOMPARE(first.state, State::Normal);
}

void PlacementTest::otherScreenSizeUsesPlainKeys()
{
    IniFile profile;
    WindowPlacement::Saved saved;
    saved.normal = QRect(10, 20, 300, 200);
    WindowPlacement::save(profile, QStringLiteral("TfrmMain"), saved, QSize(1280, 1024));
    profile.setValue(QStringLiteral("TfrmMain"), QStringLiteral("NormPos"), QStringLiteral("30,40,330,240"));
    WindowPlacement::Current current;
    current.geometry = QRect(0, 0, 1026, 603);
    // At the saving screen size the sized key wins; at another size the plain key is used.
    QCOMPARE(WindowPlacement::restore(profile, QStringLiteral("TfrmMain"), current, QSize(1280, 1024)).normal,
             QRect(10, 20, 300, 200));
    QCOMPARE(WindowPlacement::restore(profile, QStringLiteral("TfrmMain"), current, QSize(1920, 1080)).normal,
             QRect(30, 40, 300, 200));
}

void PlacementTest::otherPixelsPerInchKeepsOnlyTheState()
{
    IniFile profile;
    WindowPlacement::Saved saved;
    saved.pixelsPerInch = 120;
    saved.showCmd = WindowPlacement::Maximized;
    saved.normal = QRect(10, 20, 300, 200);
    WindowPlacement::save(profile, QStringLiteral("TfrmMain"), saved, QSize(1280, 1024));
    WindowPlacement::Current current;
    current.geometry = QRect(0, 0, 1026, 603);
    const auto restored = WindowPlacement::restore(profile, QStringLiteral("TfrmMain"), current, QSize(1280, 1024));
    QVERIFY(!restored.applyPosition);
    QCOMPARE(restored.state, State::Maximized);
}

void PlacementTest::showCommands_data()
{
    QTest::addColumn<QString>("showCmd");
    QTest::addColumn<int>("state");
    for (const char *normal : {"1", "5", "9", "0", "4", "-3", "x", ""})
        QTest::addRow("%s: normal", normal) << QString::fromLatin1(normal) << int(State::Normal);
    for (const char *minimised : {"2", "6", "7"})
        QTest::addRow("%s: application minimised", minimised) << QString::fromLatin1(minimised) << int(State::MinimizeApplication);
    QTest::addRow("3: maximised") << QStringLiteral("3") << int(State::Maximized);
}

void PlacementTest::showCommands()
{
    QFETCH(QString, showCmd);
    QFETCH(int, state);
    IniFile profile;
    profile.setValue(QStringLiteral("TfrmMain"), QStringLiteral("ShowCmd"), showCmd);
    const auto restored = WindowPlacement::restore(profile, QStringLiteral("TfrmMain"), {}, QSize(800, 600));
    QCOMPARE(int(restored.state), state);
}

void PlacementTest::damagedTextFallsBackWordByWord()
{
    IniFile profile;
    profile.setValue(QStringLiteral("TfrmMain"), QStringLiteral("NormPos"), QStringLiteral("40,abc"));
    WindowPlacement::Current current;
    current.geometry = QRect(5, 6, 700, 500);
    const auto restored = WindowPlacement::restore(profile, QStringLiteral("TfrmMain"), current, QSize(800, 600));
    QVERIFY(restored.applyPosition);
    QCOMPARE(restored.normal, QRect(QPoint(40, 6), QPoint(704, 505)));

    // A rectangle with no area is never applied.
    profile.setValue(QStringLiteral("TfrmMain"), QStringLiteral("NormPos"), QStringLiteral("500,500,100,100"));
    QVERIFY(!WindowPlacement::restore(profile, QStringLiteral("TfrmMain"), current, QSize(800, 600)).applyPosition);
}

void PlacementTest::fixedBorderKeepsItsSize()
{
    IniFile profile;
    profile.setValue(QStringLiteral("TfrmMain"), QStringLiteral("NormPos"), QStringLiteral("10,10,2000,2000"));
    WindowPlacement::Current current;
    current.geometry = QRect(0, 0, 619, 120);
    current.resizable = false;
    QCOMPARE(WindowPlacement::restore(profile, QStringLiteral("TfrmMain"), current, QSize(800, 600)).normal,
             QRect(10, 10, 619, 120));
}

QTEST_GUILESS_MAIN(PlacementTest)
#include "tst_placement.moc"
