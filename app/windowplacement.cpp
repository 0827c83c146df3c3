#include "app/windowplacement.h"

#include "store/inifile.h"

#include <QStringList>

namespace {

const QString FormVersion = QStringLiteral("FormVersion");
const QString Flags = QStringLiteral("Flags");
const QString ShowCmdKey = QStringLiteral("ShowCmd");
const QString PixelsPerInch = QStringLiteral("PixelsPerInch");
const QString MinMaxPos = QStringLiteral("MinMaxPos");
const QString NormPos = QStringLiteral("NormPos");
const QString Visible = QStringLiteral("Visible");

QString fourNumbers(int a, int b, int c, int d)
{
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

// The text under the key for this screen size, else under the plain key; empty when neither.
QString readPosition(const IniFile &profile, const QString &section, const QString &key, QSize screen)
{
    const QString sized = profile.value(section, WindowPlacement::screenKey(key, screen));
    return sized.isEmpty() ? profile.value(section, key) : sized;
}

// Splits "a,b,c,d"; a missing or bad word takes its fallback.
void splitFour(const QString &text, const int fallback[4], int out[4])
{
    const QStringList words = text.split(QLatin1Char(','));
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const int number = i < words.size() ? words.at(i).trimmed().toInt(&ok) : 0;
        out[i] = ok ? number : fallback[i];
    }
}

} // namespace

QString WindowPlacement::screenKey(const QString &key, QSize screen)
{
    return QStringLiteral("%1(%2x%3)").arg(key).arg(screen.width()).arg(screen.height());
}

void WindowPlacement::save(IniFile &profile, const QString &section, const Saved &saved, QSize screen)
{
    profile.setValue(section, FormVersion, 0);
    profile.setValue(section, Flags, saved.flags);
    profile.setValue(section, ShowCmdKey, saved.showCmd);
    profile.setValue(section, PixelsPerInch, saved.pixelsPerInch);
    const QString minMax = fourNumbers(saved.minPosition.x(), saved.minPosition.y(), saved.maxPosition.x(),
                                       saved.maxPosition.y());
    profile.setValue(section, MinMaxPos, minMax);
    profile.setValue(section, screenKey(MinMaxPos, screen), minMax);
    // Right and bottom lie just outside the rectangle, as window rectangles are written.
    const QRect &r = saved.normal;
    const QString normal = fourNumbers(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    profile.setValue(section, NormPos, normal);
    profile.setValue(section, screenKey(NormPos, screen), normal);
    profile.setValue(section, Visible, saved.destroying);
}

WindowPlacement::Restored WindowPlacement::restore(const IniFile &profile, const QString &section,
                                                   const Current &current, QSize screen)
{
    Restored result;
    result.flags = profile.intValue(section, Flags, current.flags);

    const QString minMaxText = readPosition(profile, section, MinMaxPos, screen);
    const QString normalText = readPosition(profile, section, NormPos, screen);
    const QRect &g = current.geometry;
    const int fallback[4] = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    int normal[4];
    splitFour(normalText, fallback, normal);
    if (!current.resizable) {
        normal[2] = normal[0] + g.width();
        normal[3] = normal[1] + g.height();
    }
    const int pixelsPerInch = profile.intValue(section, PixelsPerInch, current.pixelsPerInch);
    // A rectangle stored at another pixels-per-inch setting would be of the wrong size: ignored.
    if ((!minMaxText.isEmpty() || !normalText.isEmpty()) && pixelsPerInch == current.pixelsPerInch
        && normal[0] < normal[2] && normal[1] < normal[3]) {
        result.applyPosition = true;
        result.normal = QRect(QPoint(normal[0], normal[1]), QPoint(normal[2] - 1, normal[3] - 1));
    }

    switch (profile.intValue(section, ShowCmdKey, 0)) {
    case 2:
    case 6:
    case 7:
        result.state = Restored::State::MinimizeApplication;
        break;
    case 3:
        result.state = Restored::State::Maximized;
        break;
    default:   // 1, 5, 9 and anything else: normal
        result.state = Restored::State::Normal;
        break;
    }
    return result;
}
