#pragma once

#include <QList>
#include <QString>

// A profile file: sections in square brackets and one key=value line per setting. Keys and values
// are kept exactly as written (no quoting, no escapes), section and key names compare ignoring
// case, and the order of sections and keys is kept when the file is written again.
class IniFile
{
public:
    IniFile() = default;
    explicit IniFile(const QString &path) : m_path(path) {}

    [[nodiscard]] QString path() const { return m_path; }

    // Reads the file; a missing or unreadable file reads as empty. Returns false when the file
    // exists but could not be read.
    bool load();
    // Writes the whole file through a temporary file that is then renamed over it.
    // Returns false (and leaves the old file) when it cannot be written.
    bool save() const;

    void parse(const QByteArray &text);
    [[nodiscard]] QByteArray text() const;

    [[nodiscard]] bool contains(const QString &section, const QString &key) const;
    [[nodiscard]] QString value(const QString &section, const QString &key, const QString &fallback = {}) const;
    // An integer value; text that is not a whole number gives the fallback.
    [[nodiscard]] int intValue(const QString &section, const QString &key, int fallback) const;
    [[nodiscard]] bool boolValue(const QString &section, const QString &key, bool fallback) const;

    void setValue(const QString &section, const QString &key, const QString &value);
    void setValue(const QString &section, const QString &key, int value);
    void setValue(const QString &section, const QString &key, bool value);
    // Removes a key; nothing happens when it is not there.
    void remove(const QString &section, const QString &key);

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        QList<Entry> entries;
    };

    const Entry *find(const QString &section, const QString &key) const;

    QString m_path;
    QList<Section> m_sections;
};
