#pragma once

#include <QDialog>
#include <QFont>

// The character map ("DLLForm"): picks characters of any installed font for the recipe body.
class CharacterMap : public QDialog
{
    Q_OBJECT
public:
    explicit CharacterMap(QWidget *parent = nullptr);

    // The font list's choice, preset by the editor before showing the map.
    void setFontName(const QString &name) { m_fontName = name; }
    [[nodiscard]] QString fontName() const { return m_fontName; }
    // The font of the character grid: the chosen font name, regular style.
    [[nodiscard]] QFont gridFont() const { return QFont(m_fontName); }

private:
    QString m_fontName;
};
