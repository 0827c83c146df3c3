#include "editor/control/richtextcontrol.h"

#include "editor/control/finddialog.h"
#include "editor/control/linkdetection.h"
#include "editor/embeddedpicture.h"
#include "editor/rtfcommon.h"
#include "editor/rtfreader.h"
#include "editor/rtfwriter.h"
#include "editor/workprogress.h"
#include "store/error.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextList>

#include <algorithm>

// Marks the links found in the text as a reader sees them, blue and underlined. The marks are
// display formats only: they are neither stored nor part of the undo history.
class LinkHighlighter : public QSyntaxHighlighter
{
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString &text) override
    {
        WorkProgress::step();
        if (!text.contains(QLatin1Char(':')) && !text.contains(QLatin1Char('@'))
            && !text.contains(QLatin1String("www."), Qt::CaseInsensitive))
            return;
        for (const DetectedLink &link : DetectLinks(text)) {
            QTextCharFormat format = this->format(link.start);
            format.setForeground(QColor(0, 0, 255));
            format.setFontUnderline(true);
            setFormat(link.start, link.length, format);
        }
    }
};

namespace {

const QString RtfMime = QStringLiteral("text/rtf");
const QStringList MetafileMimes = {QStringLiteral("image/x-emf"), QStringLiteral("image/emf"),
                                   QStringLiteral("image/x-wmf"), QStringLiteral("image/wmf")};

bool isValidUtf8(const QByteArray &data)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(data);
    return !decoder.hasError();
}

// Windows-1252, the 8-bit text our users' older files are in when they are not UTF-8.
QString fromWindows1252(const QByteArray &data)
{
    static const char16_t high[32] = {0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D, 0x017D, 0x8F,
                                      0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178};
    QString text;
    text.reserve(data.size());
    for (char c : data) {
        const auto u = static_cast<unsigned char>(c);
        text.append(u >= 0x80 && u < 0xA0 ? QChar(high[u - 0x80]) : QChar(u));
    }
    return text;
}

} // namespace

RichTextControl::RichTextControl(QWidget *parent)
    : QTextEdit(parent)
{
    setObjectName(QStringLiteral("Editor"));
    setAccessibleName(tr("Recipe body"));
    setAcceptRichText(true);
    setTabChangesFocus(false);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setMouseTracking(true);
    document()->setUndoRedoEnabled(true);
    m_links = new LinkHighlighter(this); // ours, and moved to each new document
    connect(this, &QTextEdit::textChanged, this, &RichTextControl::OnChange);
    connect(this, &QTextEdit::cursorPositionChanged, this, &RichTextControl::OnSelectionChange);
    connect(this, &QTextEdit::selectionChanged, this, &RichTextControl::OnSelectionChange);
    watchUndo();
}

void RichTextControl::watchUndo()
{
    m_undoDepth = 0;
    // A new undo level pushes the oldest one out of reach once MaxUndoSteps are within it.
    connect(document(), &QTextDocument::undoCommandAdded, this,
            [this] { m_undoDepth = qMin(m_undoDepth + 1, MaxUndoSteps); });
    connect(document(), &QTextDocument::undoAvailable, this, [this](bool available) {
        if (!available)
            m_undoDepth = 0;
    });
}

RichTextControl::~RichTextControl() = default;

QByteArray RichTextControl::StreamOut() const
{
    try {
        return RtfWriter::write(document());
    } catch (...) {
        throw Error(tr("Failed to Save Stream"));
    }
}

void RichTextControl::StreamIn(const QByteArray &data)
{
    // The document is built apart from the view and shown when complete: a view that follows a
    // large document while it grows spends far longer on it than the reading itself.
    auto *fresh = new QTextDocument(this);
    const QTextDocument *old = document();
    fresh->setDefaultFont(old->defaultFont());
    fresh->setIndentWidth(old->indentWidth());
    fresh->setDocumentMargin(old->documentMargin());
    fresh->setDefaultTextOption(old->defaultTextOption());
    fresh->setUseDesignMetrics(old->useDesignMetrics());
    fresh->setUndoRedoEnabled(old->isUndoRedoEnabled());
    m_links->setDocument(fresh); // links are marked as the text arrives
    bool read = false;
    try {
        read = RtfReader::read(data, fresh) == RtfReader::Status::Ok;
    } catch (...) {
        read = false;
    }
    if (!read) {
        try {
            readPlainText(data, false, fresh);
        } catch (...) {
            m_links->setDocument(document());
            delete fresh;
            throw Error(tr("Failed to Load Stream"));
        }
    }
    fresh->clearUndoRedoStacks();
    fresh->setModified(false);
    // QTextEdit keeps a replaced document alive; ours (made here, or the first one the editor made
    // for itself) go once the event loop is back, so that a large one is not freed in the middle
    // of the load.
    const QPointer<QTextDocument> replaced = document();
    setDocument(fresh);
    if (replaced && replaced->parent() && (replaced->parent() == this || replaced->parent()->parent() == this))
        replaced->deleteLater();
    watchUndo();
    moveCursor(QTextCursor::Start);
    Q_EMIT OnChange();
}

void RichTextControl::readPlainText(const QByteArray &data, bool sixteenBit, QTextDocument *into)
{
    QString text;
    if (sixteenBit || data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        auto encoding = QStringConverter::encodingForData(data);
        QStringDecoder decoder(encoding.value_or(QStringConverter::Utf16LE));
        text = decoder.decode(data);
    } else if (isValidUtf8(data)) {
        text = QString::fromUtf8(data.startsWith("\xEF\xBB\xBF") ? data.mid(3) : data);
    } else {
        text = fromWindows1252(data);
    }
    // Plain text takes the typing format of the empty document.
    if (!into)
        into = document();
    into->clear();
    QTextCursor cursor(into);
    cursor.insertText(text);
}

void RichTextControl::LoadFromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(tr("Cannot open file %1.").arg(QDir::toNativeSeparators(path)));
    const QByteArray data = file.readAll();
    if (QFileInfo(path).suffix().toLower() == QLatin1String("txt")) {
        readPlainText(data, m_unicodeMode);
        document()->clearUndoRedoStacks();
        moveCursor(QTextCursor::Start);
        Q_EMIT OnChange(); // nothing to undo any more
    } else {
        StreamIn(data);
    }
}

QString RichTextControl::PlainText() const
{
    QString out;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin())
            out += u'\n';
        if (const QTextList *list = block.textList()) {
            // Nested items stand in by four blanks a level, as text files indent them.
            out += QString(4 * std::max(0, list->format().indent() - 1), u' ');
            out += Rtf::isBullet(list->format().style()) ? QString(QChar(0x2022)) : list->itemText(block);
            out += u' ';
        }
        for (const QChar c : block.text()) {
            switch (c.unicode()) {
            case QChar::ObjectReplacementCharacter: break; // pictures have no text
            case QChar::LineSeparator: out += u'\n'; break;
            case QChar::Nbsp: out += u' '; break;
            default: out += c; break;
            }
        }
    }
    return out;
}

void RichTextControl::SaveToFile(const QString &path) const
{
    QByteArray data;
    if (QFileInfo(path).suffix().toLower() == QLatin1String("txt")) {
        const QString text = PlainText();
        if (m_unicodeMode) {
            QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
            data = encoder.encode(text);
        } else {
            data = text.toUtf8();
        }
    } else {
        data = StreamOut();
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw Error(tr("Cannot create file %1.").arg(QDir::toNativeSeparators(path)));
}

void RichTextControl::Clear()
{
    document()->clear(); // drops the picture resources too
    m_undoDepth = 0;
    setCurrentCharFormat(QTextCharFormat());
}

int RichTextControl::SelStart() const
{
    return textCursor().selectionStart();
}

void RichTextControl::setSelStart(int start)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(qBound(0, start, TextLength()));
    setTextCursor(cursor);
}

int RichTextControl::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void RichTextControl::setSelLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.setPosition(start);
    cursor.setPosition(qBound(0, start + length, TextLength()), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichTextControl::SelText() const
{
    // Paragraph ends read as line breaks, as a plain-text reader expects.
    return textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

void RichTextControl::setSelText(const QString &text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
}

void RichTextControl::ClearSelection()
{
    QTextCursor cursor = textCursor();
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

void RichTextControl::mergeFormat(const QTextCharFormat &format)
{
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection())
        cursor.mergeCharFormat(format);
    mergeCurrentCharFormat(format);
}

RichTextControl::CharAttributes RichTextControl::SelAttributes() const
{
    const QTextCursor selection = textCursor();
    QTextCharFormat f = currentCharFormat();
    if (selection.hasSelection()) {
        QTextCursor first(document());
        first.setPosition(selection.selectionStart() + 1);
        f = first.charFormat();
    }
    CharAttributes a;
    a.bold = f.fontWeight() >= QFont::Bold;
    a.italic = f.fontItalic();
    a.underline = f.fontUnderline();
    a.strikeOut = f.fontStrikeOut();
    if (selection.hasSelection()) {
        const int start = selection.selectionStart(), end = selection.selectionEnd();
        for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
             block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (fragment.position() >= end || fragment.position() + fragment.length() <= start)
                    continue;
                const QTextCharFormat part = fragment.charFormat();
                a.bold = a.bold && part.fontWeight() >= QFont::Bold;
                a.italic = a.italic && part.fontItalic();
                a.underline = a.underline && part.fontUnderline();
                a.strikeOut = a.strikeOut && part.fontStrikeOut();
            }
        }
    }
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        a.color = f.foreground().color();
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
        a.highlight = f.background().color();
    const QStringList families = f.fontFamilies().toStringList();
    a.fontName = families.isEmpty() ? font().family() : families.first();
    a.pointSize = f.fontPointSize() > 0 ? f.fontPointSize() : font().pointSizeF();
    a.link = f.isAnchor();
    return a;
}

void RichTextControl::setStyles(bool bold, bool italic, bool underline, bool strikeOut)
{
    QTextCharFormat f;
    f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(italic);
    f.setFontUnderline(underline);
    f.setFontStrikeOut(strikeOut);
    mergeFormat(f);
}

void RichTextControl::setSelColor(const QColor &color)
{
    if (color.isValid()) {
        QTextCharFormat f;
        f.setForeground(color);
        mergeFormat(f);
        return;
    }
    QTextCursor cursor = textCursor();
    auto clear = [](QTextCharFormat f) {
        f.clearForeground();
        return f;
    };
    if (cursor.hasSelection()) {
        // Removing a property needs setCharFormat per fragment; merge cannot remove.
        cursor.beginEditBlock();
        const int start = cursor.selectionStart(), end = cursor.selectionEnd();
        QTextCursor walk(document());
        for (int pos = start; pos < end;) {
            walk.setPosition(pos);
            walk.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
            const QTextCharFormat f = walk.charFormat();
            walk.setCharFormat(clear(f));
            ++pos;
        }
        cursor.endEditBlock();
    }
    setCurrentCharFormat(clear(currentCharFormat()));
}

void RichTextControl::setSelHighlight(const QColor &color)
{
    QTextCharFormat f;
    f.setBackground(color.isValid() ? QBrush(color) : QBrush(Qt::NoBrush));
    mergeFormat(f);
}

void RichTextControl::setSelFontName(const QString &name)
{
    QTextCharFormat f;
    f.setFontFamilies({name});
    mergeFormat(f);
}

void RichTextControl::setSelPointSize(qreal size)
{
    if (size <= 0)
        return;
    QTextCharFormat f;
    f.setFontPointSize(size);
    mergeFormat(f);
}

void RichTextControl::setSelLink(bool on)
{
    QTextCursor cursor = textCursor();
    QTextCharFormat f;
    f.setAnchor(on);
    f.setAnchorHref(on ? cursor.selectedText() : QString());
    f.setFontUnderline(on);
    f.setForeground(on ? QBrush(QColor(0, 0, 255)) : QBrush(Qt::black));
    mergeFormat(f);
}

QFont RichTextControl::SelFont() const
{
    QFont f = currentCharFormat().font();
    if (currentCharFormat().fontPointSize() <= 0)
        f.setPointSizeF(font().pointSizeF());
    return f;
}

void RichTextControl::setSelFont(const QFont &font, const QColor &color)
{
    QTextCharFormat f;
    f.setFont(font, QTextCharFormat::FontPropertiesSpecifiedOnly);
    f.setFontFamilies({font.family()});
    f.setFontPointSize(font.pointSizeF() > 0 ? font.pointSizeF() : 12);
    f.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
    f.setFontItalic(font.italic());
    f.setFontUnderline(font.underline());
    f.setFontStrikeOut(font.strikeOut());
    if (color.isValid())
        f.setForeground(color);
    mergeFormat(f);
}

void RichTextControl::applyFontChanges(const QFont &shown, const QFont &chosen)
{
    QTextCharFormat f;
    if (chosen.family() != shown.family())
        f.setFontFamilies({chosen.family()});
    if (chosen.pointSizeF() > 0 && !qFuzzyCompare(chosen.pointSizeF(), shown.pointSizeF()))
        f.setFontPointSize(chosen.pointSizeF());
    if (chosen.bold() != shown.bold())
        f.setFontWeight(chosen.bold() ? QFont::Bold : QFont::Normal);
    if (chosen.italic() != shown.italic())
        f.setFontItalic(chosen.italic());
    if (chosen.underline() != shown.underline())
        f.setFontUnderline(chosen.underline());
    if (chosen.strikeOut() != shown.strikeOut())
        f.setFontStrikeOut(chosen.strikeOut());
    if (!f.properties().isEmpty())
        mergeFormat(f);
}

Qt::Alignment RichTextControl::ParaAlignment() const
{
    return textCursor().blockFormat().alignment()
           & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter | Qt::AlignJustify);
}

void RichTextControl::setParaAlignment(Qt::Alignment alignment)
{
    setAlignment(alignment | Qt::AlignAbsolute);
}

bool RichTextControl::ParaBullets() const
{
    const QTextList *list = textCursor().currentList();
    return list && Rtf::isBullet(list->format().style());
}

bool RichTextControl::ParaNumbered() const
{
    const QTextList *list = textCursor().currentList();
    return list && !Rtf::isBullet(list->format().style());
}

void RichTextControl::setParaBullets(bool on)
{
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    if (on) {
        QTextListFormat format;
        format.setStyle(QTextListFormat::ListDisc);
        format.setIndent(1);
        // The gap between bullet and text is the document's indent width; never below 10 points.
        const qreal minimum = BulletOffset * logicalDpiX() / 72.0;
        if (document()->indentWidth() < minimum)
            document()->setIndentWidth(minimum);
        // A list wholly inside the selection changes its style; otherwise the selected paragraphs
        // leave their lists for a bulleted list of their own, and the rest keep their numbers.
        const QTextBlock first = document()->findBlock(cursor.selectionStart());
        const QTextBlock last = document()->findBlock(cursor.selectionEnd());
        QTextList *list = first.textList();
        bool whole = list && list->item(0).position() >= first.position()
                     && list->item(list->count() - 1).position() <= last.position();
        for (QTextBlock block = first; whole && block.isValid(); block = block.next()) {
            whole = block.textList() == list;
            if (block == last)
                break;
        }
        if (whole) {
            QTextListFormat existing = list->format();
            if (!Rtf::isBullet(existing.style())) {
                existing.setStyle(QTextListFormat::ListDisc);
                list->setFormat(existing);
            }
        } else {
            if (list)
                format.setIndent(list->format().indent());
            cursor.createList(format);
        }
    } else {
        const QTextBlock first = document()->findBlock(cursor.selectionStart());
        const QTextBlock last = document()->findBlock(cursor.selectionEnd());
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            if (QTextList *list = block.textList())
                list->remove(block);
            QTextCursor at(block);
            QTextBlockFormat format = block.blockFormat();
            format.setIndent(0);
            format.setTextIndent(0);
            at.setBlockFormat(format);
            if (block == last)
                break;
        }
    }
    cursor.endEditBlock();
}

bool RichTextControl::CanUndo() const
{
    return m_undoDepth > 0 && document()->isUndoAvailable();
}

void RichTextControl::undo()
{
    if (!CanUndo())
        return;
    --m_undoDepth; // first, so that whoever follows the change sees the new reach
    QTextEdit::undo();
}

void RichTextControl::redo()
{
    if (!CanRedo())
        return;
    m_undoDepth = qMin(m_undoDepth + 1, MaxUndoSteps);
    QTextEdit::redo();
}

void RichTextControl::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        event->matches(QKeySequence::Undo) ? undo() : redo();
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

bool RichTextControl::CanRedo() const
{
    return document()->isRedoAvailable();
}

bool RichTextControl::CanPaste() const
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    return data && canInsertFromMimeData(data);
}

void RichTextControl::ShowFind(const QString &seed)
{
    if (!m_find) {
        m_find = new FindDialog(this);
        m_find->setWindowFlag(Qt::Tool);
        connect(m_find, &FindDialog::findNext, this, &RichTextControl::FindNext);
    }
    m_find->setFindText(seed);
    m_find->show();
    m_find->raise();
    m_find->activateWindow();
}

bool RichTextControl::FindNext(const QString &text, bool forward, bool matchCase, bool wholeWord)
{
    if (text.isEmpty())
        return false;
    QTextDocument::FindFlags flags;
    if (!forward)
        flags |= QTextDocument::FindBackward;
    if (matchCase)
        flags |= QTextDocument::FindCaseSensitively;
    if (wholeWord)
        flags |= QTextDocument::FindWholeWords;
    const QTextCursor from = textCursor();
    QTextCursor start(document());
    start.setPosition(forward ? from.selectionEnd() : from.selectionStart());
    const QTextCursor hit = document()->find(text, start, flags);
    if (hit.isNull())
        return false;
    setTextCursor(hit);
    return true;
}

void RichTextControl::InsertRtfAsSelection(const QByteArray &rtf)
{
    QTextCursor cursor = textCursor();
    if (RtfReader::insert(rtf, cursor) != RtfReader::Status::Ok)
        cursor.insertText(QString::fromUtf8(rtf));
    setTextCursor(cursor);
}

int RichTextControl::TextLength() const
{
    return qMax(0, document()->characterCount() - 1);
}

void RichTextControl::DiscardCachedLayout()
{
    document()->markContentsDirty(0, document()->characterCount());
}

void RichTextControl::InsertPicture(const QByteArray &fileBytes)
{
    const std::optional<EmbeddedPicture> picture = EmbeddedPictureStore::fromFileData(fileBytes);
    if (!picture)
        throw Error(tr("The picture could not be read."));
    QTextCursor cursor = textCursor();
    cursor.insertImage(EmbeddedPictureStore::add(document(), *picture));
    setTextCursor(cursor);
}

QString RichTextControl::linkAt(int position) const
{
    if (position < 0 || position >= TextLength())
        return {};
    QTextCursor cursor(document());
    cursor.setPosition(position);
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    const QTextCharFormat format = cursor.charFormat();
    if (format.isAnchor())
        return format.anchorHref().isEmpty() ? cursor.selectedText() : format.anchorHref();
    const QTextBlock block = document()->findBlock(position);
    return LinkAt(block.text(), position - block.position());
}

bool RichTextControl::canInsertFromMimeData(const QMimeData *source) const
{
    if (source->hasImage() || source->hasFormat(RtfMime))
        return true;
    for (const QString &mime : MetafileMimes)
        if (source->hasFormat(mime))
            return true;
    return source->hasText();
}

void RichTextControl::insertFromMimeData(const QMimeData *source)
{
    QTextCursor cursor = textCursor();
    for (const QString &mime : MetafileMimes) {
        if (source->hasFormat(mime)) {
            if (const auto picture = EmbeddedPictureStore::fromFileData(source->data(mime))) {
                cursor.insertImage(EmbeddedPictureStore::add(document(), *picture));
                setTextCursor(cursor);
                return;
            }
        }
    }
    if (source->hasFormat(RtfMime)) {
        if (RtfReader::insert(source->data(RtfMime), cursor) == RtfReader::Status::Ok) {
            setTextCursor(cursor);
            return;
        }
    }
    if (source->hasImage()) {
        const QImage image = qvariant_cast<QImage>(source->imageData());
        if (!image.isNull()) {
            cursor.insertImage(EmbeddedPictureStore::add(document(), EmbeddedPictureStore::fromImage(image)));
            setTextCursor(cursor);
            return;
        }
    }
    if (source->hasText()) {
        cursor.insertText(source->text());
        setTextCursor(cursor);
    }
}

QByteArray RichTextControl::selectionAsRtf() const
{
    return RtfWriter::write(textCursor());
}

QMimeData *RichTextControl::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    const QTextCursor cursor = textCursor();
    data->setText(SelText());
    try {
        data->setData(RtfMime, selectionAsRtf());
    } catch (...) {
        // Plain text is still on offer.
    }
    // A selection of exactly one picture also goes out as a picture.
    if (cursor.selectionEnd() - cursor.selectionStart() == 1) {
        QTextCursor one(document());
        one.setPosition(cursor.selectionStart());
        one.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        const QTextCharFormat format = one.charFormat();
        if (format.isImageFormat()) {
            const auto picture = EmbeddedPictureStore::find(document(), format.toImageFormat().name());
            if (picture) {
                if (picture->kind == EmbeddedPicture::Kind::Emf)
                    data->setData(QStringLiteral("image/x-emf"), picture->data);
                else if (picture->kind == EmbeddedPicture::Kind::Wmf)
                    data->setData(QStringLiteral("image/x-wmf"), picture->data);
                data->setImageData(EmbeddedPictureStore::render(*picture, picture->isVector()
                        ? EmbeddedPictureStore::naturalSize(*picture).toSize() : picture->nativeSize));
            }
        }
    }
    return data;
}

void RichTextControl::mousePressEvent(QMouseEvent *event)
{
    m_pressedLink.clear();
    const int position = cursorForPosition(event->position().toPoint()).position();
    const QString link = linkAt(position);
    if (!link.isEmpty())
        m_pressedLink = link + QLatin1Char('\n') + QString::number(position);
    QTextEdit::mousePressEvent(event);
}

void RichTextControl::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    if (m_pressedLink.isEmpty())
        return;
    const QString pressed = m_pressedLink;
    m_pressedLink.clear();
    const int position = cursorForPosition(event->position().toPoint()).position();
    const QString link = linkAt(position);
    // Pressed and released on the same link: the same text, and the press position inside it.
    if (!link.isEmpty() && pressed.section(QLatin1Char('\n'), 0, 0) == link)
        Q_EMIT OnURLClick(link);
}

void RichTextControl::mouseMoveEvent(QMouseEvent *event)
{
    QTextEdit::mouseMoveEvent(event);
    const int position = cursorForPosition(event->position().toPoint()).position();
    viewport()->setCursor(linkAt(position).isEmpty() ? Qt::IBeamCursor : Qt::PointingHandCursor);
}
