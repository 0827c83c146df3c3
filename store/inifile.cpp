#include "store/inifile.h"

#include <QFile>
#include <QSaveFile>

bool IniFile::load()
{
    m_sections.clear();
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    parse(file.readAll());
    return true;
}

bool IniFile::save() const
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text());
    return file.commit();
}

void IniFile::parse(const QByteArray &text)
{
    m_sections.clear();
    Section *current = nullptr;
    for (QByteArray raw : text.split('\n')) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            current = nullptr;
            for (Section &section : m_sections) {
                if (section.name.compare(name, Qt::CaseInsensitive) == 0)
                    current = &section;
            }
            if (!current) {
                m_sections.append({name, {}});
                current = &m_sections.last();
            }
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!current || equals <= 0)
            continue;   // text outside a section, or a line that is not a setting
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        bool replaced = false;
        for (Entry &entry : current->entries) {
            if (entry.key.compare(key, Qt::CaseInsensitive) == 0) {
                entry.value = value;
                replaced = true;
            }
        }
        if (!replaced)
            current->entries.append({key, value});
    }
}

QByteArray IniFile::text() const
{
    QByteArray out;
    for (const Section &section : m_sections) {
        if (!out.isEmpty())
            out += "\r\n";
        out += '[' + section.name.toUtf8() + "]\r\n";
        for (const Entry &entry : section.entries)
            out += entry.key.toUtf8() + '=' + entry.value.toUtf8() + "\r\n";
    }
    return out;
}

const IniFile::Entry *IniFile::find(const QString &section, const QString &key) const
{
    for (const Section &s : m_sections) {
        if (s.name.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        for (const Entry &entry : s.entries) {
            if (entry.key.compare(key, Qt::CaseInsensitive) == 0)
                return &entry;
        }
    }
    return nullptr;
}

bool IniFile::contains(const QString &section, const QString &key) const
{
    return find(section, key) != nullptr;
}

QString IniFile::value(const QString &section, const QString &key, const QString &fallback) const
{
    const Entry *entry = find(section, key);
    return entry ? entry->value : fallback;
}

int IniFile::intValue(const QString &section, const QString &key, int fallback) const
{
    bool ok = false;
    const int number = value(section, key).toInt(&ok);
    return ok ? number : fallback;
}

bool IniFile::boolValue(const QString &section, const QString &key, bool fallback) const
{
    const QString text = value(section, key).trimmed();
    if (text.isEmpty())
        return fallback;
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const int number = text.toInt(&ok);
    return ok ? number != 0 : fallback;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    Section *target = nullptr;
    for (Section &s : m_sections) {
        if (s.name.compare(section, Qt::CaseInsensitive) == 0)
            target = &s;
    }
    if (!target) {
        m_sections.append({section, {}});
        target = &m_sections.last();
    }
    for (Entry &entry : target->entries) {
        if (entry.key.compare(key, Qt::CaseInsensitive) == 0) {
            entry.value = value;
            return;
        }
    }
    target->entries.append({key, value});
}

void IniFile::remove(const QString &section, const QString &key)
{
    for (Section &s : m_sections) {
        if (s.name.compare(section, Qt::CaseInsensitive) == 0)
            s.entries.removeIf([&key](const Entry &entry) { return entry.key.compare(key, Qt::CaseInsensitive) == 0; });
    }
}

void IniFile::setValue(const QString &section, const QString &key, int value)
{
    setValue(section, key, QString::number(value));
}

void IniFile::setValue(const QString &section, const QString &key, bool value)
{
    // Written as the number 1 or 0, which is what profile readers of every kind understand.
    setValue(section, key, QString::number(value ? 1 : 0));
}
