#include "printing/paper.h"

#include <array>

namespace {

struct PaperEntry
{
    const char *name;
    double width;
    double height;
    bool millimetres;
    int code;
    QPageSize::PageSizeId qtId;
};

// clang-format off
constexpr std::array<PaperEntry, 18> Papers = {{
    {"A3", 297, 420, true, 8, QPageSize::A3},
    {"A4", 210, 297, true, 9, QPageSize::A4},
    {"A5", 148.5, 210, true, 11, QPageSize::A5},
    {"A6", 105, 148, true, 70, QPageSize::A6},
    {"B5", 6.92, 9.84, false, 13, QPageSize::B5},
    {"C5", 6.38, 9.02, false, 28, QPageSize::C5E},
    {"Legal", 8.5, 14, false, 5, QPageSize::Legal},
    {"Letter", 8.5, 11, false, 1, QPageSize::Letter},
    {"Custom", 0, 0, false, -1, QPageSize::Custom},
    {"B4", 250, 354, true, 12, QPageSize::B4},
    {"Envelope_09", 3.78, 8.78, false, 19, QPageSize::Envelope9},
    {"Envelope_10", 4.18, 9.12, false, 20, QPageSize::Comm10E},
    {"Envelope_11", 4.12, 10.38, false, 21, QPageSize::Envelope11},
    {"Envelope_12", 12.44, 11, false, 22, QPageSize::Envelope12},
    {"Envelope_14", 14.5, 11.12, false, 23, QPageSize::Envelope14},
    {"Tabloid", 11, 17, false, 3, QPageSize::Tabloid},
    {"Ledger", 17, 11, false, 4, QPageSize::Ledger},
    {"Executive", 7.14, 10.12, false, 7, QPageSize::Executive},
}};
// clang-format on

const PaperEntry &entry(LxPaperSize paper)
{
    return Papers[static_cast<size_t>(paper)];
}

} // namespace

namespace Paper {

QStringList names()
{
    QStringList list;
    for (const PaperEntry &p : Papers)
        list << QString::fromLatin1(p.name);
    return list;
}

QString name(LxPaperSize paper)
{
    return QString::fromLatin1(entry(paper).name);
}

LxPaperSize fromName(const QString &name)
{
    for (size_t i = 0; i < Papers.size(); ++i) {
        if (name == QLatin1String(Papers[i].name))
            return static_cast<LxPaperSize>(i);
    }
    return LxPaperSize::Custom;
}

QSizeF portraitInches(LxPaperSize paper)
{
    const PaperEntry &p = entry(paper);
    if (paper == LxPaperSize::Custom)
        return {};
    return p.millimetres ? QSizeF(p.width / 25.4, p.height / 25.4) : QSizeF(p.width, p.height);
}

int printerCode(LxPaperSize paper)
{
    return entry(paper).code;
}

QPageSize pageSize(LxPaperSize paper, QSizeF customInches)
{
    const QSizeF inches = paper == LxPaperSize::Custom ? customInches : portraitInches(paper);
    const PaperEntry &p = entry(paper);
    // Sizes that Qt knows by the same dimensions keep their name, so drivers pick the right tray;
    // the table's own dimensions win where Qt's differ (Ledger is wider than tall here).
    if (p.qtId != QPageSize::Custom) {
        const QPageSize known(p.qtId);
        const QSizeF k = known.size(QPageSize::Inch);
        if (qAbs(k.width() - inches.width()) < 0.02 && qAbs(k.height() - inches.height()) < 0.02)
            return known;
    }
    return QPageSize(inches, QPageSize::Inch, name(paper), QPageSize::ExactMatch);
}

bool isEnvelope(LxPaperSize paper)
{
    return name(paper).startsWith(QLatin1String("Envelope")) || paper == LxPaperSize::C5;
}

QSizeF pageInches(LxPaperSize paper, LxOrientation orientation, QSizeF current)
{
    if (paper == LxPaperSize::Custom)
        return current;
    const QSizeF size = portraitInches(paper);
    return orientation == LxOrientation::Landscape ? size.transposed() : size;
}

} // namespace Paper
