#pragma once

#include <QList>
#include <QString>

// Finds the links a reader would click in plain text: web addresses ("http://", "https://",
// "ftp://", "www."), "file:" links, "mailto:" links and bare e-mail addresses.
struct DetectedLink {
    int start = 0;  // in UTF-16 units of the text
    int length = 0;
    QString text;
};

[[nodiscard]] QList<DetectedLink> DetectLinks(const QString &text);

// The link covering position `at` of the text, if any.
[[nodiscard]] QString LinkAt(const QString &text, int at);
