#pragma once

#include <QAbstractButton>
#include <QPixmap>

struct Emoticon;

// One emoticon on the picker: its picture drawn transparently at its own size, the hand cursor,
// and a click like a button's. Reports every mouse move over it, entering included.
class EmoticonImage : public QAbstractButton
{
    Q_OBJECT
public:
    EmoticonImage(const Emoticon &emoticon, QWidget *parent);

    [[nodiscard]] const Emoticon &emoticon() const { return m_emoticon; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void mouseMoved(int tag);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;

private:
    const Emoticon &m_emoticon;
    QPixmap m_picture;
};
