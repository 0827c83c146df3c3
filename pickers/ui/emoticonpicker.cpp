#include "pickers/ui/emoticonpicker.h"

#include "pickers/emoticons.h"
#include "pickers/ui/emoticonimage.h"
#include "pickers/ui/windowstacking.h"
#include "shell/look.h"
#include "shell/windowdesign.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QShowEvent>

EmoticonPicker::EmoticonPicker(QWidget *parent)
    : QDialog(parent)
{
    designWindow(this, "frmEmoticons", tr("Emotional Icons"), QSize(427, 312), Frame::Borderless);

    makeTitleBand(this, "RbPanel3", tr("Emotional Icons"), 45, 24);

    // The main panel has no border of its own, so the pictures sit exactly where designed.
    QWidget *panel = makeContentPanel(this, "RbPanel1", 0, false);
    panel->setGeometry(0, 45, 427, 222);
    panel->setAccessibleName(tr("Emoticons"));
    QWidget *previous = nullptr;
    for (const Emoticon &emoticon : Emoticons::all()) {
        auto *image = new EmoticonImage(emoticon, panel);
        connect(image, &EmoticonImage::mouseMoved, this, &EmoticonPicker::Image2MouseMove);
        connect(image, &QAbstractButton::clicked, this, [this, tag = emoticon.tag] { Image2Click(tag); });
        if (previous)
            setTabOrder(previous, image);
        previous = image;
    }

    m_label = new QLabel(panel);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setAccessibleName(tr("Emoticon name"));
    m_label->setGeometry(10, 184, 405, 22);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setTextFormat(Qt::PlainText);
    QFont labelFont(QStringLiteral("Arial"));
    labelFont.setPixelSize(19);
    m_label->setFont(labelFont);
    QPalette black = m_label->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    m_label->setPalette(black);

    QWidget *bar = makeBand(this, "RbPanel2", QColor(223, 223, 227), QColor(255, 255, 255));
    bar->setGeometry(0, 267, width(), height() - 267);
    QAbstractButton *close = makeButton(bar, "btnClose", tr("Close"), QString(), QRect(336, 277 - 267, 75, 25));
    connect(close, &QAbstractButton::clicked, this, &EmoticonPicker::btnCloseClick);
    if (previous)
        setTabOrder(previous, close);
}

void EmoticonPicker::Image2MouseMove(int tag)
{
    if (const Emoticon *emoticon = Emoticons::byTag(tag))
        m_label->setText(emoticon->text());
}

void EmoticonPicker::Image2Click(int tag)
{
    const Emoticon *emoticon = Emoticons::byTag(tag);
    if (!emoticon)
        return;
    EmoticonChosen = true;
    QGuiApplication::clipboard()->setMimeData(Emoticons::clipboardData(*emoticon));
    accept();
}

void EmoticonPicker::btnCloseClick()
{
    reject();
}

void EmoticonPicker::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        keepAboveOpener(this);
        centreWindow(this, parentWidget());
        // Close takes the focus, so that no picture looks chosen before the user points at one.
        if (auto *close = findChild<QWidget *>(QStringLiteral("btnClose")))
            close->setFocus();
    }
}
