#pragma once

#include "widgets/gradient.h"

#include <QColor>
#include <QImage>
#include <QSize>

// The look of a gradient panel's background: a rounded border over a flat or gradient inside,
// smoothed from a picture drawn three times larger when antialiased.
struct PanelLook {
    int cornerWidth = 10;
    int borderWidth = 2;
    QColor borderColor{128, 128, 128};
    QColor outerColor{240, 240, 240};
    QColor color{223, 223, 227};
    bool gradient = false;
    RbLook::TGradientType gradientType = RbLook::gtVertical;
    QColor defaultFrom{255, 255, 255};
    QColor defaultTo{223, 223, 227};
    bool antialiased = true;
    int groupBoxTextHeight = 0; // a group box caption's text height lowers the border's top
};

// Builds the background picture of a panel of the given size. Antialiased, only the edge strips
// of the three-times picture are drawn and averaged: the inside is flat Color either way.
[[nodiscard]] QImage PanelBackground(const PanelLook &look, QSize size);

// The same picture the long way: the whole three-times picture drawn, then SmoothEdges.
// Kept as the reference the banded build is checked against.
[[nodiscard]] QImage PanelBackgroundReference(const PanelLook &look, QSize size);
