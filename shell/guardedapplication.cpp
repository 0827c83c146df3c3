#include "shell/guardedapplication.h"

#include "shell/appinfo.h"
#include "shell/prompt.h"
#include "store/error.h"

#include <QFont>

#include <exception>

GuardedApplication::GuardedApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("saporin"));
    // The windows are laid out in pixels for this face and size; where Arial itself is missing its
    // metric-compatible stand-in takes its place.
    QFont standard(QStringLiteral("Arial"));
    standard.setPixelSize(11);
    setFont(standard);
}

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const Error &error) {
        reportApplicationError(error.message());
    } catch (const std::exception &error) {
        reportApplicationError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        reportApplicationError(tr("Unexpected failure"));
    }
    return false;
}

QString withFullStop(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void reportApplicationError(const QString &message)
{
    Prompt::instance().applicationError(withFullStop(message));
}
