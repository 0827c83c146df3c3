#include "printing/printer.h"
#include "printing/ui/headerfooterdialog.h"
#include "printing/ui/marginsdialog.h"
#include "printing/ui/pageview.h"
#include "printing/ui/printpreviewwindow.h"
#include "shell/windowset.h"
#include "store/datalocation.h"
#include "tests/support/findchild.h"
#include "tests/support/modal.h"
#include "tests/support/scriptedprompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

namespace {

QString lines(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral("Step %1: whisk the cream until it holds soft peaks.").arg(i + 1);
    return list.join(QLatin1Char('\n'));
}

int pdfPages(const QString &pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(30000);
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    const qsizetype at = text.indexOf(QLatin1String("Pages:"));
    return at < 0 ? -1 : text.mid(at + 6).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
}

} // namespace

class PreviewWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void pagesMarginsCaptionsAndPrinting();
    void zoomAndWheel();

private:
    QTemporaryDir m_home;
};

void PreviewWindowTest::initTestCase()
{
    // Without a main window the settings file lives in the program's data folder: start afresh.
    QFile::remove(QDir(DataLocation::directory()).filePath(QStringLiteral("Settings.ini")));
}

void PreviewWindowTest::cleanupTestCase()
{
    QFile::remove(QDir(DataLocation::directory()).filePath(QStringLiteral("Settings.ini")));
}

void PreviewWindowTest::pagesMarginsCaptionsAndPrinting()
{
    ScriptedPrompt prompt;
    ScriptedPrompt::Scope scope(prompt);
    MarginsDialog margins;
    HeaderFooterDialog bands;
    windows().MarginsForm = &margins;
    windows().HeaderFooterForm = &bands;
    PrintPreviewWindow preview;
    windows().PrintPreviewForm = &preview;
    PageView *view = preview.view();
    auto *label = child<QLabel>(&preview, "Label3");

    QTextDocument recipe;
    recipe.setPlainText(lines(120));
    preview.RebuildPreview(&recipe);
    const int pages = view->PageCount();
    QVERIFY(pages >= 2);
    QCOMPARE(label->text(), QStringLiteral("Page: 1 of %1").arg(pages));
    child(&preview, "btnLeft")->click();
    QCOMPARE(label->text(), QStringLiteral("Page: 2 of %1").arg(pages));
    child(&preview, "ToolButton2")->click();
    child(&preview, "btnLeft")->click(); // past the last page: nothing
    QCOMPARE(view->CurrentPage(), pages);
    auto *thumbnails = child<PageThumbnails>(&preview, "LxThumbnails1");
    QCOMPARE(thumbnails->count(), pages);
    QCOMPARE(thumbnails->item(0)->text(), QStringLiteral("Page 1"));
    thumbnails->itemClicked(thumbnails->item(0));
    QCOMPARE(view->CurrentPage(), 1);

    // Wider margins and a taller header give more pages, and the margins are kept in Settings.ini.
    duringModal([&margins] {
        QCOMPARE(margins.SpinEdit1->value(), 25);
        QCOMPARE(margins.SpinEdit2->value(), 15);
        margins.SpinEdit2->setValue(60);
        margins.SpinHeader->setValue(15);
        child(&margins, "RbButton2")->click();
    });
    child(&preview, "btnMargins")->click();
    QVERIFY(view->PageCount() > pages);
    QFile settings(preview.settingsPath());
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QByteArray ini = settings.readAll();
    QVERIFY2(ini.contains("Top=60") && ini.contains("MarginTop=75") && ini.contains("Left=25"), ini.constData());

    // Captions with tokens.
    duringModal([&bands] {
        bands.Edit2->setText(QStringLiteral("Page {PAGE} of {NUMPAGES}"));
        bands.dxCheckBox1->setChecked(true);
        child(&bands, "RbButton1")->click();
    });
    child(&preview, "btnHeader")->click();
    QCOMPARE(view->pages().header().caption(LxHeaderFooter::CaptionCenter).caption, QStringLiteral("Page {PAGE} of {NUMPAGES}"));
    QVERIFY(view->pages().header().showLine());

    // A range through the PDF target: typed bounds echoed as typed.
    auto *printers = child<QComboBox>(&preview, "LxPropertyComboBox1");
    printers->setCurrentIndex(printers->findText(LxPrinter::pdfTargetName()));
    preview.LxPropertyComboBox1Change();
    prompt.answerText(QStringLiteral("3"));
    child(&preview, "RbButton1")->click();
    QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Plain), QStringList{QStringLiteral("Invalid Range")});
    prompt.clear();
    const QString pdf = m_home.filePath(QStringLiteral("range.pdf"));
    prompt.answerText(QStringLiteral(" 2-3"));
    prompt.answer(Prompt::Answer::Yes);
    prompt.answerFile(pdf);
    child(&preview, "RbButton1")->click();
    QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Confirm), QStringList{QStringLiteral("Continue with Printing From Page  2 to Page 3")});
    QCOMPARE(prompt.texts(ScriptedPrompt::Kind::Plain), QStringList{QStringLiteral("Printing from Page  2 to Page 3")});
    QCOMPARE(view->printer().Title, QStringLiteral("Letter Mail Merge"));
    if (!QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QCOMPARE(pdfPages(pdf), 2);

    // A one-page recipe after a longer one.
    QTextDocument shortRecipe;
    shortRecipe.setPlainText(QStringLiteral("Toast."));
    preview.RebuildPreview(&shortRecipe);
    QCOMPARE(label->text(), QStringLiteral("Page: 1 of 1"));
    QCOMPARE(thumbnails->count(), 1);
    windows() = WindowSet();
}

void PreviewWindowTest::zoomAndWheel()
{
    PageView view;
    view.resize(898, 569);
    view.FitWholePage();
    QCOMPARE(view.zoom(), 45);
    view.setZoom(35);
    view.ZoomIn();
    QCOMPARE(view.zoom(), 45);
    view.setZoom(400);
    view.ZoomIn();
    QCOMPARE(view.zoom(), 400);
    // At the bottom before, at the bottom after.
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    view.ZoomOut();
    QCOMPARE(view.zoom(), 350);
    QCOMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    // The shown page is drawn once per page and zoom.
    const QImage first = view.renderPage(1, 20);
    QCOMPARE(first.width(), qRound(210 / 25.4 * 96 * 0.2));
}

QTEST_MAIN(PreviewWindowTest)
#include "tst_previewwindow.moc"
