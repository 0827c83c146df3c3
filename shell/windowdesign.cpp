#include "shell/windowdesign.h"

#include <QApplication>
#include <QEvent>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

void designWindow(QWidget *window, const char *instanceName, const QString &caption, QSize clientSize,
                  Frame frame)
{
    window->setObjectName(QLatin1String(instanceName));
    // No accessible name of its own: a window is announced by its title, which callers change.
    window->setWindowTitle(caption);
    switch (frame) {
    case Frame::Fixed:
        window->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                               | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
        window->setFixedSize(clientSize);
        break;
    case Frame::Sizable:
        window->setWindowFlags(Qt::Window);
        window->resize(clientSize);
        break;
    case Frame::Borderless:
        window->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
        window->setFixedSize(clientSize);
        break;
    }
}

namespace {

// The frame the window manager put around a window, once it has said so; none before.
QMargins reportedMargins(const QWidget *window)
{
    const QWindow *handle = window ? window->windowHandle() : nullptr;
    return handle ? handle->frameMargins() : QMargins();
}

// The best guess of a window's frame before it is on the screen: its own frame as last seen, else
// the frame of the window it is centred on, else that of any window on the screen. Windows of one
// program get the same title bar, so the guess is off by a border's width at most; the
// placement is corrected once the real frame is known.
QMargins expectedMargins(const QWidget *window, const QWidget *over)
{
    if (window->windowFlags() & Qt::FramelessWindowHint)
        return {};
    const QMargins own = reportedMargins(window);
    if (!own.isNull())
        return own;
    if (const QVariant seen = window->property("saporinFrameMargins"); seen.isValid())
        return seen.value<QMargins>();
    if (over) {
        const QMargins parent = reportedMargins(over->window());
        if (!parent.isNull())
            return parent;
    }
    for (const QWidget *top : QApplication::topLevelWidgets()) {
        if (top != window && top->isVisible()) {
            const QMargins other = reportedMargins(top);
            if (!other.isNull())
                return other;
        }
    }
    return {};
}

// Moves the window so that its frame (client area plus `margins`) is centred on `area`, and kept
// within the screen's work area where it fits.
void placeCentred(QWidget *window, const QRect &area, const QRect &workArea, const QMargins &margins)
{
    const QSize frame = window->size().grownBy(margins);
    QPoint topLeft(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
    if (workArea.isValid()) {
        topLeft.setX(qMax(workArea.left(), qMin(topLeft.x(), workArea.x() + workArea.width() - frame.width())));
        topLeft.setY(qMax(workArea.top(), qMin(topLeft.y(), workArea.y() + workArea.height() - frame.height())));
    }
    // The client rectangle is set directly, so the result does not depend on whether Qt already
    // knows the frame (QWidget::move places the frame only then).
    const QPoint client = topLeft + QPoint(margins.left(), margins.top());
    if (window->geometry().topLeft() != client)
        window->setGeometry(QRect(client, window->size()));
}

// Centres a window again once its real frame is known, when the frame the placement expected was
// not the one the window manager drew. Lives as long as the window; acts once per showing.
class CentringWatch : public QObject
{
public:
    explicit CentringWatch(QWidget *window) : QObject(window), m_window(window)
    {
        setObjectName(QStringLiteral("saporinCentringWatch"));
        window->installEventFilter(this);
    }

    void expect(const QWidget *over, const QMargins &margins)
    {
        m_over = over;
        m_expected = margins;
        m_pending = true;
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window || !m_pending)
            return false;
        switch (event->type()) {
        case QEvent::Hide:
            m_pending = false;
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Paint:
        case QEvent::WindowActivate: {
            const QMargins real = reportedMargins(m_window);
            if (real.isNull())
                break;
            m_pending = false;
            m_window->setProperty("saporinFrameMargins", QVariant::fromValue(real));
            // A window maximised (or minimised) meanwhile keeps the place its state gives it.
            if (real != m_expected && m_window->windowState() == Qt::WindowNoState)
                centreWindow(m_window, m_over);
            break;
        }
        default:
            break;
        }
        return false;
    }

private:
    QWidget *m_window;
    QPointer<const QWidget> m_over;
    QMargins m_expected;
    bool m_pending = false;
};

} // namespace

void centreWindow(QWidget *window, const QWidget *over)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect();
    const QRect area = over && over->isVisible() ? over->frameGeometry() : workArea;
    if (!area.isValid())
        return;
    const QMargins margins = expectedMargins(window, over);
    placeCentred(window, area, workArea, margins);
    auto *watch = window->findChild<CentringWatch *>(QStringLiteral("saporinCentringWatch"), Qt::FindDirectChildrenOnly);
    if (!watch)
        watch = new CentringWatch(window);
    watch->expect(over, reportedMargins(window).isNull() ? margins : reportedMargins(window));
}
