#include "editor/control/finddialog.h"
#include "editor/control/linkdetection.h"
#include "editor/control/richtextcontrol.h"
#include "store/error.h"

#include <QAbstractButton>
#include <QMimeData>
#include <QPointer>
#include <QSignalSpy>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextList>

class TestRichTextControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void detectsLinks_data();
    void detectsLinks();
    void streamRoundTripKeepsTextAndFormats();
    void loadingReplacesTheDocumentAndKeepsItsSettings();
    void dataThatIsNotRtfReadsAsPlainText();
    void textFilesFollowTheUnicodeMode();
    void clearDropsPictures();
    void pastedPictureIsEmbeddedAndStreamedOut();
    void stylesAreWrittenTogether();
    void automaticColourRemovesTheColour();
    void bulletsRaiseTheOffsetAndComeOff();
    void everyUnnumberedListIsBullets_data();
    void everyUnnumberedListIsBullets();
    void textExportKeepsListLabelsAndDropsPictures();
    void keepsAHundredUndoSteps();
    void selectionReadsTheSameInBothDirections_data();
    void selectionReadsTheSameInBothDirections();
    void bulletsOnPartOfAListLeaveTheRestNumbered();
    void findNextHonoursItsOptions();
    void linkClickNeedsPressAndReleaseOnTheLink();
    void selectionAccessors();
};

void TestRichTextControl::detectsLinks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("links");

    QTest::newRow("web address") << "see https://saporin.example/a?b=1." << QStringList{"https://saporin.example/a?b=1"};
    QTest::newRow("www") << "www.example.org, then" << QStringList{"www.example.org"};
    QTest::newRow("file link with escaped blanks") << "open file:/home/me/My%Recipes.rtf now"
                                                  << QStringList{"file:/home/me/My%Recipes.rtf"};
    QTest::newRow("e-mail") << "write to cook@kitchen.example!" << QStringList{"cook@kitchen.example"};
    QTest::newRow("mailto") << "mailto:cook@kitchen.example" << QStringList{"mailto:cook@kitchen.example"};
    QTest::newRow("two links") << "http://a.example and ftp://b.example"
                               << QStringList{"http://a.example", "ftp://b.example"};
    QTest::newRow("scheme alone") << "the word http: is not a link" << QStringList{};
    QTest::newRow("inside a word") << "xhttp://nope.example" << QStringList{};
    QTest::newRow("plain text") << "2 cups of flour" << QStringList{};
}

void TestRichTextControl::detectsLinks()
{
    QFETCH(QString, text);
    QFETCH(QStringList, links);
    QStringList found;
    for (const DetectedLink &link : DetectLinks(text)) {
        QCOMPARE(text.mid(link.start, link.length), link.text);
        found << link.text;
    }
    QCOMPARE(found, links);
}

void TestRichTextControl::streamRoundTripKeepsTextAndFormats()
{
    RichTextControl source;
    source.setPlainText(QStringLiteral("Pancakes\nMix well. Crème fraîche — 200 g"));
    source.setSelStart(0);
    source.setSelLength(8);
    source.setStyles(true, false, true, false);
    source.setSelColor(QColor(200, 0, 0));
    QTextCursor second(source.document()->findBlockByNumber(1));
    source.setTextCursor(second);
    source.setParaAlignment(Qt::AlignJustify);

    const QByteArray rtf = source.StreamOut();
    QVERIFY(rtf.startsWith("{\\rtf"));
    RichTextControl target;
    target.StreamIn(rtf);
    QCOMPARE(target.toPlainText(), source.toPlainText());
    QCOMPARE(target.textCursor().position(), 0);
    target.setSelStart(0);
    target.setSelLength(3);
    const auto attributes = target.SelAttributes();
    QVERIFY(attributes.bold);
    QVERIFY(attributes.underline);
    QVERIFY(!attributes.italic);
    QCOMPARE(attributes.color, QColor(200, 0, 0));
    QTextCursor again(target.document()->findBlockByNumber(1));
    target.setTextCursor(again);
    QCOMPARE(target.ParaAlignment(), Qt::AlignJustify);
    // Byte-stable: what was read writes the same bytes again.
    QCOMPARE(target.StreamOut(), rtf);
}

void TestRichTextControl::loadingReplacesTheDocumentAndKeepsItsSettings()
{
    RichTextControl control;
    QFont body(QStringLiteral("DejaVu Sans"));
    body.setPointSizeF(11.25);
    control.document()->setDefaultFont(body);
    control.document()->setUseDesignMetrics(true);
    const QString link = QStringLiteral("https://soup.example");
    for (int load = 0; load < 3; ++load) {
        QPointer<QTextDocument> before = control.document();
        control.StreamIn("{\\rtf1 Leeks, see https://soup.example today.}");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(!before, "the replaced document is released");
        QCOMPARE(control.document()->defaultFont(), body);
        QVERIFY(control.document()->useDesignMetrics());
        QCOMPARE(control.linkAt(15), link); // links are marked in every new document
        QVERIFY(!control.CanUndo());
        QTest::keyClicks(&control, QStringLiteral("x"));
        QVERIFY(control.CanUndo());
    }
}

void TestRichTextControl::dataThatIsNotRtfReadsAsPlainText()
{
    RichTextControl control;
    control.StreamIn(QByteArray("Just a line\nand another"));
    QCOMPARE(control.toPlainText(), QStringLiteral("Just a line\nand another"));
    // Not UTF-8: read as Windows-1252.
    control.StreamIn(QByteArray("Cr\xe8me \x80 5"));
    QCOMPARE(control.toPlainText(), QStringLiteral("Crème € 5"));
    QVERIFY(!control.CanUndo());
}

void TestRichTextControl::textFilesFollowTheUnicodeMode()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Soup.TXT"));
    RichTextControl control;
    control.setPlainText(QStringLiteral("Gaspacho ½ Ω"));
    control.setUnicodeMode(true);
    control.SaveToFile(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray sixteen = file.readAll();
    file.close();
    QVERIFY(sixteen.startsWith("\xFF\xFE"));
    QCOMPARE(sixteen.size(), 2 + 2 * 12);

    RichTextControl reader;
    reader.setUnicodeMode(true);
    reader.LoadFromFile(path);
    QCOMPARE(reader.toPlainText(), QStringLiteral("Gaspacho ½ Ω"));

    control.setUnicodeMode(false);
    control.SaveToFile(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QStringLiteral("Gaspacho ½ Ω").toUtf8());
    file.close();

    // Any other extension is RTF.
    const QString rtfPath = dir.filePath(QStringLiteral("Soup.doc"));
    control.SaveToFile(rtfPath);
    QFile rtf(rtfPath);
    QVERIFY(rtf.open(QIODevice::ReadOnly));
    QVERIFY(rtf.readAll().startsWith("{\\rtf"));

    QVERIFY_THROWS_EXCEPTION(Error, reader.LoadFromFile(dir.filePath(QStringLiteral("missing.rtf"))));
}

static QImage testPicture()
{
    QImage image(12, 8, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    return image;
}

void TestRichTextControl::clearDropsPictures()
{
    RichTextControl control;
    QMimeData data;
    data.setImageData(testPicture());
    control.insertFromMimeData(&data);
    QVERIFY(control.StreamOut().contains("\\pict"));
    control.Clear();
    QCOMPARE(control.TextLength(), 0);
    QVERIFY(!control.StreamOut().contains("\\pict"));
}

void TestRichTextControl::pastedPictureIsEmbeddedAndStreamedOut()
{
    RichTextControl control;
    control.setPlainText(QStringLiteral("ab"));
    control.setSelStart(1);
    QMimeData data;
    data.setImageData(testPicture());
    QVERIFY(control.canInsertFromMimeData(&data));
    control.insertFromMimeData(&data);
    QCOMPARE(control.TextLength(), 3);
    const QByteArray rtf = control.StreamOut();
    QVERIFY(rtf.contains("\\pngblip"));

    RichTextControl copy;
    copy.StreamIn(rtf);
    QCOMPARE(copy.TextLength(), 3);
    QCOMPARE(copy.StreamOut(), rtf);
    // Copying the picture alone offers it as a picture too.
    copy.setSelStart(1);
    copy.setSelLength(1);
    std::unique_ptr<QMimeData> out(copy.createMimeDataFromSelection());
    QVERIFY(out->hasImage());
    QCOMPARE(qvariant_cast<QImage>(out->imageData()).size(), QSize(12, 8));
}

void TestRichTextControl::stylesAreWrittenTogether()
{
    RichTextControl control;
    control.setPlainText(QStringLiteral("word"));
    control.selectAll();
    control.setStyles(true, true, true, true);
    auto a = control.SelAttributes();
    QVERIFY(a.bold && a.italic && a.underline && a.strikeOut);
    control.setStyles(false, true, false, false);
    a = control.SelAttributes();
    QVERIFY(!a.bold && a.italic && !a.underline && !a.strikeOut);
}

void TestRichTextControl::automaticColourRemovesTheColour()
{
    RichTextControl control;
    control.setPlainText(QStringLiteral("red words"));
    control.selectAll();
    control.setSelColor(Qt::red);
    QCOMPARE(control.SelAttributes().color, QColor(Qt::red));
    control.setSelColor(QColor());
    QVERIFY(!control.SelAttributes().color.isValid());
    QVERIFY(!control.StreamOut().contains("\\red255\\green0\\blue0"));
}

void TestRichTextControl::bulletsRaiseTheOffsetAndComeOff()
{
    RichTextControl control;
    control.setPlainText(QStringLiteral("flour\nsugar\neggs"));
    control.selectAll();
    control.setParaBullets(true);
    QVERIFY(control.ParaBullets());
    for (QTextBlock b = control.document()->begin(); b.isValid(); b = b.next())
        QVERIFY(b.textList());
    QVERIFY(control.document()->indentWidth() * 72.0 / control.logicalDpiX() >= 10.0);
    const QByteArray rtf = control.StreamOut();
    RichTextControl reread;
    reread.StreamIn(rtf);
    reread.selectAll();
    QVERIFY(reread.ParaBullets());

    control.selectAll();
    control.setParaBullets(false);
    for (QTextBlock b = control.document()->begin(); b.isValid(); b = b.next()) {
        QVERIFY(!b.textList());
        QCOMPARE(b.blockFormat().indent(), 0);
    }
}

void TestRichTextControl::everyUnnumberedListIsBullets_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<bool>("bullets");
    auto listTable = [](const QByteArray &level) {
        return "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Wingdings;}}{\\*\\listtable{\\list{\\listlevel" + level
                + "}\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1 flour\\par\\pard\\ls1 eggs}";
    };
    // The shapes word processors use for their second and third levels.
    QTest::newRow("o") << listTable("\\levelnfc23{\\leveltext\\'01o;}") << true;
    QTest::newRow("section sign") << listTable("\\levelnfc23{\\leveltext\\'01\\'a7;}\\f1") << true;
    QTest::newRow("small square") << listTable("\\levelnfc23{\\leveltext\\'01\\u9642 ?;}") << true;
    QTest::newRow("old form, o") << QByteArray("{\\rtf1\\pard{\\*\\pn\\pnlvlblt{\\pntxtb o}} flour\\par eggs}") << true;
    QTest::newRow("decimal") << listTable("\\levelnfc0{\\leveltext\\'02\\'00.;}") << false;
    QTest::newRow("letters") << listTable("\\levelnfc4{\\leveltext\\'02\\'00);}") << false;
}

void TestRichTextControl::everyUnnumberedListIsBullets()
{
    // The Bullets command: on when the paragraph has bullets of any shape, and then it takes
    // them off; otherwise it puts bullets on.
    QFETCH(QByteArray, rtf);
    QFETCH(bool, bullets);
    RichTextControl control;
    control.StreamIn(rtf);
    QVERIFY(control.document()->begin().textList());
    QCOMPARE(control.ParaBullets(), bullets);
    QCOMPARE(control.ParaNumbered(), !bullets);
    control.setParaBullets(!control.ParaBullets());
    if (bullets) {
        QVERIFY(!control.document()->begin().textList());
    } else {
        QVERIFY(control.ParaBullets());
        QCOMPARE(control.document()->begin().textList()->format().style(), QTextListFormat::ListDisc);
    }
}

void TestRichTextControl::textExportKeepsListLabelsAndDropsPictures()
{
    RichTextControl control;
    control.StreamIn("{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid1}"
                     "{\\list{\\listlevel\\levelnfc3{\\leveltext\\'05CH \\'00:;}}\\listid2}}"
                     "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}{\\listoverride\\listid2\\ls2}}"
                     "\\pard Cake\\~for two\\par\\pard\\ls1 Mix\\par\\pard\\ls1 Bake\\line slowly\\par"
                     "\\pard{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}Serve\\par\\pard\\ls1\\ilvl1 Detail\\par\\pard\\ls2 Part\\par\\pard End}");
    QMimeData picture;
    picture.setImageData(testPicture());
    QTextCursor cursor(control.document());
    cursor.movePosition(QTextCursor::End);
    control.setTextCursor(cursor);
    control.insertFromMimeData(&picture);
    const QString expected = QStringLiteral("Cake for two\n1. Mix\n2. Bake\nslowly\n\u2022 Serve\n    1. Detail\nCH A: Part\nEnd");
    QCOMPARE(control.PlainText(), expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cake.txt"));
    for (const bool unicode : {false, true}) {
        control.setUnicodeMode(unicode);
        control.SaveToFile(path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        QCOMPARE(unicode ? QStringDecoder(QStringConverter::Utf16).decode(data) : QString::fromUtf8(data), expected);
    }
}

void TestRichTextControl::keepsAHundredUndoSteps()
{
    RichTextControl control;
    for (int i = 0; i < 120; ++i) {
        QTextCursor cursor = control.textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QString::number(i % 10));
        cursor.insertBlock(); // a new paragraph closes the undo step
    }
    int undone = 0;
    while (control.CanUndo() && undone < 100) {
        control.undo();
        ++undone;
    }
    QCOMPARE(undone, 100);
    QVERIFY(control.CanRedo());
    // The oldest twenty steps are out of reach, by the toolbar's call and by the key alike.
    QVERIFY(!control.CanUndo());
    const QString reached = control.toPlainText();
    QVERIFY(!reached.isEmpty());
    control.undo();
    QTest::keyClick(&control, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(control.toPlainText(), reached);
    control.redo();
    QVERIFY(control.CanUndo());
    control.undo();
    QCOMPARE(control.toPlainText(), reached);
}

void TestRichTextControl::selectionReadsTheSameInBothDirections_data()
{
    QTest::addColumn<bool>("backwards");
    QTest::newRow("made forwards") << false;
    QTest::newRow("made backwards") << true;
}

void TestRichTextControl::selectionReadsTheSameInBothDirections()
{
    QFETCH(bool, backwards);
    RichTextControl control;
    control.setPlainText(QStringLiteral("plain BOLD"));
    QTextCursor cursor(control.document());
    cursor.setPosition(6);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.mergeCharFormat(bold);
    cursor.setPosition(backwards ? 10 : 0);
    cursor.setPosition(backwards ? 0 : 10, QTextCursor::KeepAnchor);
    control.setTextCursor(cursor);
    QVERIFY(!control.SelAttributes().bold); // mixed: not bold, whichever end the caret is at
    control.setSelStart(7);
    control.setSelLength(2);
    QVERIFY(control.SelAttributes().bold);
}

void TestRichTextControl::bulletsOnPartOfAListLeaveTheRestNumbered()
{
    RichTextControl control;
    control.setPlainText(QStringLiteral("one\ntwo\nthree"));
    QTextCursor cursor(control.document());
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.createList(QTextListFormat::ListDecimal);
    const auto styleOf = [&control](int blockNumber) {
        const QTextList *list = control.document()->findBlockByNumber(blockNumber).textList();
        return list ? list->format().style() : QTextListFormat::ListStyleUndefined;
    };
    control.setSelStart(5); // in "two" only
    control.setParaBullets(true);
    QVERIFY(control.ParaBullets());
    QCOMPARE(styleOf(0), QTextListFormat::ListDecimal);
    QCOMPARE(styleOf(1), QTextListFormat::ListDisc);
    QCOMPARE(styleOf(2), QTextListFormat::ListDecimal);
    control.selectAll(); // a selection over whole lists restyles them
    control.setParaBullets(true);
    for (int b = 0; b < 3; ++b)
        QCOMPARE(styleOf(b), QTextListFormat::ListDisc);
}

void TestRichTextControl::findNextHonoursItsOptions()
{
    RichTextControl control;
    control.setPlainText(QStringLiteral("Salt, salt and salted butter. SALT"));
    control.setSelStart(0);
    QVERIFY(control.FindNext(QStringLiteral("salt"), true, true, false));
    QCOMPARE(control.SelStart(), 6);
    QVERIFY(control.FindNext(QStringLiteral("salt"), true, true, false));
    QCOMPARE(control.SelStart(), 15); // "salted": no whole-word option
    control.setSelStart(7);
    QVERIFY(control.FindNext(QStringLiteral("salt"), true, false, true));
    QCOMPARE(control.SelStart(), 30); // "SALT": whole word, any case
    // A miss changes nothing.
    QVERIFY(!control.FindNext(QStringLiteral("pepper"), true, false, false));
    QCOMPARE(control.SelStart(), 30);
    QCOMPARE(control.SelLength(), 4);
    QVERIFY(control.FindNext(QStringLiteral("salt"), false, true, true));
    QCOMPARE(control.SelStart(), 6);

    // The dialog is made once and asks the control to search.
    control.ShowFind(QStringLiteral("butter"));
    FindDialog *dialog = control.findDialog();
    QVERIFY(dialog && !dialog->isModal());
    QCOMPARE(dialog->findText(), QStringLiteral("butter"));
    control.setSelStart(0);
    dialog->findChild<QAbstractButton *>(QStringLiteral("btnFindNext"))->click();
    QCOMPARE(control.SelText(), QStringLiteral("butter"));
    control.ShowFind(QStringLiteral("x"));
    QCOMPARE(control.findDialog(), dialog);
}

void TestRichTextControl::linkClickNeedsPressAndReleaseOnTheLink()
{
    RichTextControl control;
    control.resize(400, 200);
    control.setPlainText(QStringLiteral("Visit https://saporin.example today and more words here"));
    control.show();
    QVERIFY(QTest::qWaitForWindowExposed(&control));
    QSignalSpy clicks(&control, &RichTextControl::OnURLClick);
    auto pointAt = [&](int position) {
        QTextCursor c(control.document());
        c.setPosition(position);
        return control.cursorRect(c).center() + QPoint(2, 0);
    };
    QCOMPARE(control.linkAt(10), QStringLiteral("https://saporin.example"));
    QTest::mouseClick(control.viewport(), Qt::LeftButton, {}, pointAt(10));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).toString(), QStringLiteral("https://saporin.example"));
    // Pressed on the link, released on plain text: no click.
    QTest::mousePress(control.viewport(), Qt::LeftButton, {}, pointAt(10));
    QTest::mouseRelease(control.viewport(), Qt::LeftButton, {}, pointAt(40));
    QCOMPARE(clicks.count(), 1);
    QTest::mouseClick(control.viewport(), Qt::LeftButton, {}, pointAt(2));
    QCOMPARE(clicks.count(), 1);
}

void TestRichTextControl::selectionAccessors()
{
    RichTextControl control;
    control.setPlainText(QStringLiteral("one two three"));
    control.setSelStart(4);
    control.setSelLength(3);
    QCOMPARE(control.SelText(), QStringLiteral("two"));
    control.setSelText(QStringLiteral("2"));
    QCOMPARE(control.toPlainText(), QStringLiteral("one 2 three"));
    control.setSelStart(100);
    QCOMPARE(control.SelStart(), control.TextLength());
    control.setSelStart(0);
    control.setSelLength(4);
    control.ClearSelection();
    QCOMPARE(control.toPlainText(), QStringLiteral("2 three"));
    control.undo();
    QCOMPARE(control.toPlainText(), QStringLiteral("one 2 three"));
}

QTEST_MAIN(TestRichTextControl)
#include "tst_richtextcontrol.moc"
