#pragma once

#include <QApplication>

class QString;

// The application object. It is the one place where an exception that escaped an event handler
// is caught; the message is shown as the application-wide error report and the program goes on.
class GuardedApplication : public QApplication
{
    Q_OBJECT
public:
    GuardedApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

// The report's text: a full stop is appended when the message's last character sorts after "."
// in character-code order: "Not found" and "Why?" get one, "Done." and "Stop!" do not.
[[nodiscard]] QString withFullStop(const QString &message);

// Shows a message as the application-wide error report.
void reportApplicationError(const QString &message);
