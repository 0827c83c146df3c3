#include "shell/windowdesign.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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

void centreWindow(QWidget *window, const QWidget *over)
{
    QRect area;
    if (over && over->isVisible())
        area = over->frameGeometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        window->move(area.center() - window->rect().center());
}
