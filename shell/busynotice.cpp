#include "shell/busynotice.h"

#include <QApplication>
#include <QLabel>
#include <QMovie>
#include <QScreen>
#include <QWindow>

namespace {
constexpr int FrameMs = 100;
}

BusyNotice::BusyNotice(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(tr("Loading Recipe..."));
    setFixedSize(306, 125);
    setAutoFillBackground(true);
    QPalette look = palette();
    look.setColor(QPalette::Window, Qt::white);
    setPalette(look);
    setModal(false);

    m_animator = new QLabel(this);
    m_animator->setObjectName(QStringLiteral("RxGIFAnimator1"));
    m_animator->setAccessibleName(tr("Busy animation"));
    m_animator->setGeometry(136, 24, 32, 32);
    m_animator->setAlignment(Qt::AlignCenter);
    m_movie = new QMovie(QStringLiteral(":/animations/busy.gif"), QByteArray(), this);
    m_movie->setCacheMode(QMovie::CacheAll);
    m_animator->setMovie(m_movie);
    m_movie->jumpToFrame(0);
    connect(m_movie, &QMovie::frameChanged, this, [this](int frame) {
        m_sinceFrame.restart();
        Q_EMIT frameShown(frame);
    });

    m_status = new QLabel(tr("Loading Recipe..."), this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setGeometry(0, 77, 306, 32);
    m_status->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(21);
    font.setBold(true);
    font.setItalic(true);
    m_status->setFont(font);
    QPalette text = m_status->palette();
    text.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::WindowText));
    m_status->setPalette(text);
}

BusyNotice::~BusyNotice()
{
    finish();
}

void BusyNotice::showMessage(const QString &message)
{
    if (!m_cursorSet) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_cursorSet = true;
    }
    setWindowTitle(message);
    m_status->setText(message);
    show();
    raise();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void BusyNotice::finish()
{
    if (m_cursorSet) {
        QApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }
    if (isVisible())
        close();
}

void BusyNotice::keepAlive()
{
    if (!isVisible() || (m_sinceFrame.isValid() && m_sinceFrame.elapsed() < FrameMs))
        return;
    m_movie->jumpToNextFrame();   // emits frameChanged, which restarts the clock
    m_animator->repaint();
}

QString BusyNotice::message() const
{
    return m_status->text();
}

int BusyNotice::currentFrame() const
{
    return m_movie->currentFrameNumber();
}

int BusyNotice::frameCount() const
{
    return m_movie->frameCount();
}

void BusyNotice::showEvent(QShowEvent *event)
{
    centreOnScreen();
    m_movie->start();
    m_sinceFrame.restart();
    QDialog::showEvent(event);
}

void BusyNotice::hideEvent(QHideEvent *event)
{
    // The window manager forgets the frame of a window it no longer shows: keep it for next time.
    if (windowHandle() && !windowHandle()->frameMargins().isNull())
        m_frame = windowHandle()->frameMargins();
    m_movie->stop();
    QDialog::hideEvent(event);
}

// The whole window is centred, title bar included: the client area sits off centre by half the
// difference of the frame's top and bottom (known once the window has been shown a first time).
void BusyNotice::centreOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    if (frame.isNull())
        frame = m_frame;
    QRect client(QPoint(0, 0), size());
    client.moveCenter(screen->availableGeometry().center());
    client.translate((frame.left() - frame.right()) / 2, (frame.top() - frame.bottom()) / 2);
    setGeometry(client);
}
