#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QPoint;
class QWidget;

// The pieces the main window and its dialogs are built from: title and command bands, content
// panels and buttons, in the application's gradient look.

// A band `height` pixels high with a gradient from `middle` on its middle line to `edge` at its
// top and bottom edges, and an optional centred caption.
QWidget *makeBand(QWidget *parent, const char *name, QColor middle, QColor edge, const QString &caption = {});

// The blue title band across the top of a borderless window, `height` pixels high, with its
// caption in bold Arial of `fontPixels`; dragging it moves the window.
QWidget *makeTitleBand(QWidget *window, const char *name, const QString &caption, int height, int fontPixels);

// A white content panel with a silver border of `border` pixels; children go inside the border.
QWidget *makeContentPanel(QWidget *parent, const char *name, int border, bool rounded);

// A gradient command button at a fixed place.
QAbstractButton *makeButton(QWidget *parent, const char *name, const QString &caption, const QString &toolTip,
                            const QRect &geometry);

// A flat button (no face of its own) showing a caption or a picture on the panel behind it.
QAbstractButton *makeFlatButton(QWidget *parent, const char *name, const QString &caption, const QString &toolTip,
                                const QRect &geometry);

// A bold caption at `at` and the single-line box it names, which takes the caption as its
// accessible name.
QLineEdit *makeCaptionedBox(QWidget *parent, const char *labelName, const QString &caption, QPoint at,
                            const char *boxName, const QRect &geometry);
