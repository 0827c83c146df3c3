#include "store/datalocation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Where the tables live: beside a program whose folder its user can write, otherwise in the
// user's data folder, which is created on first use.
class TestDataLocation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void chosenFolder_data();
    void chosenFolder();
};

void TestDataLocation::chosenFolder_data()
{
    QTest::addColumn<QString>("program");       // relative to the sandbox, or absolute
    QTest::addColumn<bool>("readOnly");         // the program folder loses its write bits
    QTest::addColumn<bool>("xdgDataHome");      // XDG_DATA_HOME is set (else only HOME)
    QTest::addColumn<QString>("expected");      // relative to the sandbox; "" = the program folder

    QTest::newRow("build folder or portable copy") << "bin" << false << true << "";
    QTest::newRow("folder its user cannot write") << "bin" << true << true << "xdg/saporin";
    QTest::newRow("cannot write, XDG_DATA_HOME unset") << "bin" << true << false << "home/.local/share/saporin";
    QTest::newRow("program folder missing") << "gone" << false << true << "xdg/saporin";
    QTest::newRow("system folder, even for root") << "/usr/bin" << false << true << "xdg/saporin";
}

void TestDataLocation::chosenFolder()
{
    QFETCH(QString, program);
    QFETCH(bool, readOnly);
    QFETCH(bool, xdgDataHome);
    QFETCH(QString, expected);

    QTemporaryDir sandbox;
    QVERIFY(sandbox.isValid());
    const QDir root(sandbox.path());
    QVERIFY(root.mkpath(QStringLiteral("bin")));
    QVERIFY(root.mkpath(QStringLiteral("home")));
    const QString programDir = QDir::isAbsolutePath(program) ? program : root.filePath(program);
    if (readOnly)
        QVERIFY(QFile::setPermissions(programDir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    const QByteArray oldXdg = qgetenv("XDG_DATA_HOME");
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(root.filePath(QStringLiteral("home"))));
    if (xdgDataHome)
        qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath(QStringLiteral("xdg"))));
    else
        qunsetenv("XDG_DATA_HOME");

    const QString chosen = DataLocation::directoryFor(programDir);
    const bool programWritable = DataLocation::isWritableByUser(programDir);

    qputenv("HOME", oldHome);
    if (oldXdg.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", oldXdg);
    QFile::setPermissions(root.filePath(QStringLiteral("bin")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    if (expected.isEmpty()) {
        QCOMPARE(chosen, programDir);
        QVERIFY(programWritable);
        QVERIFY(!root.exists(QStringLiteral("xdg")));
        return;
    }
    QCOMPARE(chosen, root.filePath(expected));
    QVERIFY(QFileInfo(chosen).isDir());
    // Private to its user, as XDG asks of the data folders a program creates.
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFile::permissions(chosen) & (others | QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (readOnly)
        QVERIFY(!programWritable);
}

QTEST_GUILESS_MAIN(TestDataLocation)
#include "tst_datalocation.moc"
