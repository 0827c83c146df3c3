#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>

// What the metafile tests read back from an EMF: its records as they stand in the file, and the
// picture an independent player (libemf2svg, drawn by QtSvg) makes of it.
struct EmfRecord
{
    quint32 type = 0;
    QByteArray bytes; // the whole record, header included

    [[nodiscard]] qint32 at(int offset) const;
};

[[nodiscard]] QList<EmfRecord> emfRecords(const QByteArray &emf);
[[nodiscard]] QImage playEmf(const QByteArray &emf, QSize size);
// The share of pixels whose colour differs by more than `tolerance` in any channel, among those
// away from edges in `a` (whose 3 x 3 neighbourhood is one colour): players smooth edges.
[[nodiscard]] double differingShare(const QImage &a, const QImage &b, int tolerance);
