#include "app/shell/look.h"

#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

class Band : public QWidget
{
public:
    Band(QWidget *parent, QColor middle, QColor edge, const QString &caption)
        : QWidget(parent), m_middle(middle), m_edge(edge), m_caption(caption)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, m_edge);
        gradient.setColorAt(0.5, m_middle);
        gradient.setColorAt(1, m_edge);
        painter.fillRect(rect(), gradient);
        if (m_caption.isEmpty())
            return;
        painter.setFont(font());
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, m_caption);
    }

private:
    QColor m_middle;
    QColor m_edge;
    QString m_caption;
};

class ContentPanel : public QWidget
{
public:
    ContentPanel(QWidget *parent, int border, bool rounded) : QWidget(parent), m_border(border), m_rounded(rounded)
    {
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(border + 1, border + 1, border + 1, border + 1);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, m_rounded);
        painter.setPen(QPen(QColor(192, 192, 192), m_border));
        painter.setBrush(Qt::white);
        const qreal half = m_border / 2.0;
        const QRectF frame = QRectF(rect()).adjusted(half, half, -half, -half);
        if (m_rounded)
            painter.drawRoundedRect(frame, 5, 5);
        else
            painter.drawRect(frame);
    }

private:
    int m_border;
    bool m_rounded;
};

} // namespace

QWidget *makeBand(QWidget *parent, const char *name, QColor middle, QColor edge, const QString &caption)
{
    auto *band = new Band(parent, middle, edge, caption);
    band->setObjectName(QLatin1String(name));
    band->setAccessibleName(caption.isEmpty() ? QString::fromLatin1(name) : caption);
    return band;
}

QWidget *makeContentPanel(QWidget *parent, const char *name, int border, bool rounded)
{
    auto *panel = new ContentPanel(parent, border, rounded);
    panel->setObjectName(QLatin1String(name));
    return panel;
}

QAbstractButton *makeButton(QWidget *parent, const char *name, const QString &caption, const QString &toolTip,
                            const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(toolTip);
    button->setAccessibleName(caption.isEmpty() ? toolTip : caption);
    button->setAutoDefault(false);
    button->setGeometry(geometry);
    return button;
}

QLineEdit *makeCaptionedBox(QWidget *parent, const char *labelName, const QString &caption, QPoint at,
                            const char *boxName, const QRect &geometry)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(labelName));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->move(at);
    label->adjustSize();

    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(boxName));
    box->setGeometry(geometry);
    box->setAccessibleName(caption);
    label->setBuddy(box);
    return box;
}
