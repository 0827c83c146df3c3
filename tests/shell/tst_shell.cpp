#include "shell/busynotice.h"
#include "shell/fieldbinding.h"
#include "shell/guardedapplication.h"
#include "shell/offthread.h"
#include "shell/prompt.h"
#include "store/error.h"
#include "store/recipestore.h"
#include "store/table.h"
#include "tests/support/scriptedprompt.h"

#include <QElapsedTimer>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QMessageBox>
#include <QMovie>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <zlib.h>

namespace {

// Real work of the kind that runs while the notice shows: deflating a large recipe body.
QByteArray deflateFor(int milliseconds)
{
    QByteArray text;
    for (int i = 0; text.size() < 4 * 1024 * 1024; ++i)
        text += "{\\rtf1 \\b Step " + QByteArray::number(i) + "\\b0  stir the sauce \\par}";
    QByteArray packed(int(compressBound(uLong(text.size()))), '\0');
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        uLongf size = uLongf(packed.size());
        compress2(reinterpret_cast<Bytef *>(packed.data()), &size,
                  reinterpret_cast<const Bytef *>(text.constData()), uLong(text.size()), 6);
        packed.resize(int(size));
        packed.resize(int(compressBound(uLong(text.size()))));
    }
    return packed;
}

// Answers the next modal message box with a key and reports what it looked like.
struct BoxProbe {
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    Qt::TextFormat format = Qt::AutoText;
};

void answerNextBox(BoxProbe *probe, Qt::Key key)
{
    QTimer::singleShot(0, [probe, key] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        probe->title = box->windowTitle();
        probe->icon = box->icon();
        for (QAbstractButton *button : box->buttons())
            probe->buttons << button->text();
        if (box->defaultButton())
            probe->defaultButton = box->defaultButton()->text();
        probe->format = box->textFormat();
        QTest::keyClick(box, key);
    });
}

class Thrower : public QObject
{
public:
    QString message;
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            throw Error(message);
        return QObject::event(event);
    }
};

} // namespace

class ShellTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fullStopRule_data();
    void fullStopRule();
    void exceptionsNeverEscapeAnEvent();
    void confirmationDefaultsToYesAndEscapeAnswersNo();
    void informationAndErrorBoxes_data();
    void informationAndErrorBoxes();
    void busyNoticeAsDesigned();
    void busyNoticeShowsAndRestoresCursor();
    void animationMovesWhileWorkRunsOffThread();
    void animationMovesWhenGuiWorkKeepsItAlive();
    void offThreadWorkReturnsAndRethrows();
    void hiddenBindingCatchesUpWhenShown();
};

void ShellTest::fullStopRule_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << QStringLiteral("Disk full") << QStringLiteral("Disk full.");
    QTest::newRow("digit") << QStringLiteral("Error 42") << QStringLiteral("Error 42.");
    QTest::newRow("full stop") << QStringLiteral("Done.") << QStringLiteral("Done.");
    QTest::newRow("question mark") << QStringLiteral("Why?") << QStringLiteral("Why?.");
    QTest::newRow("exclamation") << QStringLiteral("Stop!") << QStringLiteral("Stop!");
    QTest::newRow("closing parenthesis") << QStringLiteral("(see log)") << QStringLiteral("(see log)");
    QTest::newRow("slash") << QStringLiteral("path/") << QStringLiteral("path/.");
    QTest::newRow("accented letter") << QStringLiteral("Café") << QStringLiteral("Café.");
    QTest::newRow("empty") << QString() << QString();
}

void ShellTest::fullStopRule()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(withFullStop(message), shown);
}

void ShellTest::exceptionsNeverEscapeAnEvent()
{
    ScriptedPrompt prompt;
    ScriptedPrompt::Scope scope(prompt);
    Thrower thrower;
    thrower.message = QStringLiteral("Could not find Soups in dataset");
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents(&thrower);

    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [] { throw std::runtime_error("disk on fire"); });
    timer.start(0);
    QTRY_COMPARE(prompt.texts(ScriptedPrompt::Kind::ApplicationError).size(), 2);
    QCOMPARE(prompt.texts(ScriptedPrompt::Kind::ApplicationError),
             (QStringList{QStringLiteral("Could not find Soups in dataset."), QStringLiteral("disk on fire.")}));
}

void ShellTest::confirmationDefaultsToYesAndEscapeAnswersNo()
{
    DialogPrompt dialogs;
    BoxProbe probe;
    answerNextBox(&probe, Qt::Key_Escape);
    QCOMPARE(dialogs.confirm(QStringLiteral("Delete <b>cakes</b>?")), Prompt::Answer::No);
    QCOMPARE(probe.format, Qt::PlainText);
    QCOMPARE(probe.title, QStringLiteral("Confirm"));
    QCOMPARE(probe.icon, QMessageBox::Question);
    QCOMPARE(probe.buttons, (QStringList{QStringLiteral("&Yes"), QStringLiteral("&No")}));
    QCOMPARE(probe.defaultButton, QStringLiteral("&Yes"));

    BoxProbe enter;
    answerNextBox(&enter, Qt::Key_Return);
    QCOMPARE(dialogs.confirm(QStringLiteral("Delete this recipe?")), Prompt::Answer::Yes);
}

void ShellTest::informationAndErrorBoxes_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");
    QTest::newRow("information") << 0 << QStringLiteral("Information") << int(QMessageBox::Information);
    QTest::newRow("error") << 1 << QStringLiteral("Error") << int(QMessageBox::Critical);
    QTest::newRow("plain") << 2 << QStringLiteral("Brindle Office - Saporin") << int(QMessageBox::NoIcon);
    QTest::newRow("application error") << 3 << QStringLiteral("Brindle Office - Saporin") << int(QMessageBox::Critical);
}

void ShellTest::informationAndErrorBoxes()
{
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(int, icon);
    DialogPrompt dialogs;
    BoxProbe probe;
    answerNextBox(&probe, Qt::Key_Escape);
    // Names the user typed are no markup.
    const QString text = QStringLiteral("Could not find <b>cakes</b> in dataset");
    switch (kind) {
    case 0: dialogs.information(text); break;
    case 1: dialogs.error(text); break;
    case 2: dialogs.plain(text); break;
    default: dialogs.applicationError(text); break;
    }
    QCOMPARE(probe.title, title);
    QCOMPARE(int(probe.icon), icon);
    QCOMPARE(probe.buttons, QStringList{QStringLiteral("OK")});
    QCOMPARE(probe.format, Qt::PlainText);
}

void ShellTest::busyNoticeAsDesigned()
{
    BusyNotice notice;
    QCOMPARE(notice.objectName(), QStringLiteral("frmExport"));
    QCOMPARE(notice.size(), QSize(306, 125));
    QVERIFY(notice.windowFlags() & Qt::WindowStaysOnTopHint);
    auto *status = notice.findChild<QLabel *>(QStringLiteral("lblStatus"));
    QVERIFY(status);
    QCOMPARE(status->geometry(), QRect(0, 77, 306, 32));
    QCOMPARE(status->font().pixelSize(), 21);
    QVERIFY(status->font().bold() && status->font().italic());
    QCOMPARE(status->font().family(), QStringLiteral("Arial"));
    QCOMPARE(status->text(), QStringLiteral("Loading Recipe..."));
    auto *animator = notice.findChild<QLabel *>(QStringLiteral("RxGIFAnimator1"));
    QVERIFY(animator);
    QCOMPARE(animator->geometry(), QRect(136, 24, 32, 32));
    QCOMPARE(notice.frameCount(), 12);
    QImageReader frames(animator->movie()->fileName());
    QList<int> delays;
    while (frames.canRead() && !frames.read().isNull())
        delays << frames.nextImageDelay();
    QCOMPARE(delays, QList<int>(12, 100));
    QCOMPARE(frames.loopCount(), -1);   // repeated without end
    QCOMPARE(animator->movie()->currentImage().size(), QSize(32, 32));
}

void ShellTest::busyNoticeShowsAndRestoresCursor()
{
    BusyNotice notice;
    notice.showMessage(QStringLiteral("Saving Recipe..."));
    QVERIFY(notice.isVisible());
    QCOMPARE(notice.windowTitle(), QStringLiteral("Saving Recipe..."));
    QCOMPARE(notice.message(), QStringLiteral("Saving Recipe..."));
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    notice.showMessage(QStringLiteral("Saving Recipe..."));   // shown twice, restored once
    notice.finish();
    QVERIFY(!notice.isVisible());
    QVERIFY(!QApplication::overrideCursor());
    notice.finish();
    QVERIFY(!QApplication::overrideCursor());
}

void ShellTest::animationMovesWhileWorkRunsOffThread()
{
    BusyNotice notice;
    notice.showMessage(QStringLiteral("Loading Recipe..."));
    QSignalSpy frames(&notice, &BusyNotice::frameShown);
    QSet<QByteArray> pictures;
    connect(&notice, &BusyNotice::frameShown, this, [&] {
        const QImage shot = notice.findChild<QLabel *>(QStringLiteral("RxGIFAnimator1"))->grab().toImage();
        pictures.insert(QByteArray(reinterpret_cast<const char *>(shot.constBits()), int(shot.sizeInBytes())));
    });
    const QByteArray packed = runOffGuiThread([] { return deflateFor(1200); });
    notice.finish();
    QVERIFY(!packed.isEmpty());
    // Twelve frames are due in 1.2 s; a loaded machine may drop a few, a blocked GUI thread shows none.
    QVERIFY2(frames.size() >= 4, qPrintable(QString::number(frames.size())));
    QVERIFY2(pictures.size() >= 4, "the shown picture changes with the frames");
}

void ShellTest::animationMovesWhenGuiWorkKeepsItAlive()
{
    BusyNotice notice;
    notice.showMessage(QStringLiteral("Loading Recipe..."));
    QSignalSpy frames(&notice, &BusyNotice::frameShown);

    // Work on the GUI thread that never yields shows no frame at all...
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 500)
        deflateFor(1);
    QCOMPARE(frames.size(), 0);

    // ...but does when it calls keepAlive() between its steps.
    clock.restart();
    while (clock.elapsed() < 1200) {
        deflateFor(1);
        notice.keepAlive();
    }
    notice.finish();
    QVERIFY2(frames.size() >= 4, qPrintable(QString::number(frames.size())));
}

void ShellTest::offThreadWorkReturnsAndRethrows()
{
    QCOMPARE(runOffGuiThread([] { return 6 * 7; }), 42);
    try {
        runOffGuiThread([]() -> int { throw Error(QStringLiteral("data error")); });
        QFAIL("the exception was lost");
    } catch (const Error &error) {
        QCOMPARE(error.message(), QStringLiteral("data error"));
    }
}

int main(int argc, char *argv[])
{
    GuardedApplication application(argc, argv);
    ShellTest test;
    return QTest::qExec(&test, argc, argv);
}

// A bound box in a hidden window skips the records the table walks through and shows the current
// one when its window appears; what the user typed is never overwritten meanwhile.
void ShellTest::hiddenBindingCatchesUpWhenShown()
{
    QTemporaryDir dir;
    RecipeStore store(dir.path());
    store.open();
    Table &categories = store.cdsCategory();
    for (const char *name : {"Bread", "Cakes", "Soups"}) {
        categories.insert();
        categories.setText(RecipeStore::CategoryDescription, QLatin1String(name));
        categories.post();
    }
    QWidget window;
    auto *box = new QLineEdit(&window);
    new FieldBinding(box, store.datCategory(), RecipeStore::CategoryDescription);
    categories.first();
    categories.next();
    QCOMPARE(box->text(), QString());
    window.show();
    QCOMPARE(box->text(), QStringLiteral("Cakes"));
    categories.next();
    QCOMPARE(box->text(), QStringLiteral("Soups"));
    window.hide();
    categories.first();
    QCOMPARE(box->text(), QStringLiteral("Soups"));
    window.show();
    QCOMPARE(box->text(), QStringLiteral("Bread"));

    categories.edit();
    QTest::keyClicks(box, QStringLiteral(" rolls"));
    window.hide();
    window.show();
    QCOMPARE(box->text(), QStringLiteral("Bread rolls"));
    categories.post();
    QCOMPARE(categories.text(RecipeStore::CategoryDescription), QStringLiteral("Bread rolls"));
}

#include "tst_shell.moc"
