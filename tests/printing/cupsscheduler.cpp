#include "cupsscheduler.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) == text.toUtf8().size();
}

QString outputFolder()
{
    const passwd *user = ::getpwuid(::getuid());
    return QString::fromLocal8Bit(user ? user->pw_dir : qgetenv("HOME").constData()) + QStringLiteral("/PDF");
}

} // namespace

CupsScheduler::CupsScheduler() = default;

CupsScheduler::~CupsScheduler()
{
    if (m_cupsd.state() != QProcess::NotRunning) {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(5000))
            m_cupsd.kill();
        m_cupsd.waitForFinished(2000);
    }
}

QString CupsScheduler::socket() const
{
    return m_folder.filePath(QStringLiteral("sock"));
}

QString CupsScheduler::start(const QString &queue)
{
    if (::getuid() != 0)
        return QStringLiteral("a private CUPS scheduler needs root");
    const QString cupsd = QFileInfo::exists(QStringLiteral("/usr/sbin/cupsd")) ? QStringLiteral("/usr/sbin/cupsd") : QStandardPaths::findExecutable(QStringLiteral("cupsd"));
    const QString lpadmin = QStandardPaths::findExecutable(QStringLiteral("lpadmin"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    if (cupsd.isEmpty() || lpadmin.isEmpty() || !QFileInfo::exists(QStringLiteral("/usr/lib/cups/backend/cups-pdf")))
        return QStringLiteral("cupsd, lpadmin or cups-pdf is not installed");
    if (!m_folder.isValid())
        return QStringLiteral("no temporary folder");
    const QString root = m_folder.path();
    for (const char *sub : {"spool", "cache", "state", "log", "tmp"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    // The filters run as the scheduler's unprivileged user: they must reach the folder and write
    // their temporary files.
    ::chmod(QFile::encodeName(root).constData(), 0755);
    ::chmod(QFile::encodeName(root + QStringLiteral("/tmp")).constData(), 01777);
    const QString conf = QStringLiteral("Listen %1\nLogLevel warn\nWebInterface No\nDefaultAuthType None\n"
                                        "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                        "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                             .arg(socket());
    const QString files = QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\nTempDir %1/tmp\n"
                                         "AccessLog %1/log/access_log\nErrorLog %1/log/error_log\nPageLog %1/log/page_log\n"
                                         "SystemGroup root\n")
                              .arg(root);
    if (!writeFile(root + QStringLiteral("/cupsd.conf"), conf) || !writeFile(root + QStringLiteral("/cups-files.conf"), files))
        return QStringLiteral("cannot write the scheduler's configuration");
    m_cupsd.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_cupsd.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), root + QStringLiteral("/cupsd.conf"), QStringLiteral("-s"),
                          root + QStringLiteral("/cups-files.conf")});
    if (!m_cupsd.waitForStarted(5000))
        return QStringLiteral("cupsd did not start");
    const QDeadlineTimer deadline(15000);
    while (!QFileInfo::exists(socket())) {
        if (deadline.hasExpired() || m_cupsd.state() == QProcess::NotRunning)
            return QStringLiteral("cupsd did not open its socket");
        QThread::msleep(50);
    }
    QProcess add;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), socket());
    add.setProcessEnvironment(env);
    add.start(lpadmin, {QStringLiteral("-p"), queue, QStringLiteral("-v"), QStringLiteral("cups-pdf:/"), QStringLiteral("-m"),
                        QStringLiteral("lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"), QStringLiteral("-E")});
    if (!add.waitForFinished(30000) || add.exitCode() != 0)
        return QStringLiteral("lpadmin failed: ") + QString::fromLocal8Bit(add.readAllStandardError());
    return {};
}

QString CupsScheduler::waitForJob(const QString &title, int timeoutMs) const
{
    // cups-pdf turns blanks and other characters outside [A-Za-z0-9-] into underscores.
    QString stem;
    for (QChar c : title)
        stem += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-') ? c : QLatin1Char('_');
    const QDir folder(outputFolder());
    const QDeadlineTimer deadline(timeoutMs);
    QString found;
    qint64 lastSize = -1;
    while (!deadline.hasExpired()) {
        const QStringList hits = folder.entryList({stem + QStringLiteral("*.pdf")}, QDir::Files);
        if (!hits.isEmpty()) {
            found = folder.filePath(hits.constFirst());
            const qint64 size = QFileInfo(found).size();
            // Complete once the size holds still and the file ends like a PDF.
            if (size > 0 && size == lastSize) {
                QFile file(found);
                if (file.open(QIODevice::ReadOnly) && file.seek(std::max<qint64>(0, size - 32)) && file.readAll().contains("%%EOF"))
                    return found;
            }
            lastSize = size;
        }
        QThread::msleep(200);
    }
    return {};
}
