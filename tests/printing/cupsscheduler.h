#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A private CUPS scheduler with one cups-pdf queue, for printing tests: it listens on a socket in a
// temporary folder and leaves the system's printing alone. cups-pdf writes each job into the job
// owner's ~/PDF, named after the job title.
class CupsScheduler
{
public:
    CupsScheduler();
    ~CupsScheduler();

    // Starts the scheduler and adds the queue; an empty text means ready, otherwise why not.
    QString start(const QString &queue);
    [[nodiscard]] QString socket() const;
    // The PDF that a job of the given title produced, waiting for it to be complete.
    [[nodiscard]] QString waitForJob(const QString &title, int timeoutMs = 60000) const;

private:
    QTemporaryDir m_folder;
    QProcess m_cupsd;
};
