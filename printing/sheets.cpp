#include "printing/sheets.h"

#include "printing/captions.h"
#include "printing/pagemodel.h"
#include "printing/pagination.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Sheets {

Position position(LxPagesPerSheet pagesPerSheet, int c, QSize sheet)
{
    const int w = sheet.width();
    const int h = sheet.height();
    switch (pagesPerSheet) {
    case LxPagesPerSheet::OnePage:
        return {QRect(0, 0, w, h), 100};
    case LxPagesPerSheet::TwoPage: {
        const int scale = int(double(std::min(w, h)) / std::max(w, h) * 100);
        const bool first = c % 2 == 1;
        if (w >= h)
            return {first ? QRect(0, 0, w / 2, h) : QRect(w / 2, 0, w / 2, h), scale};
        return {first ? QRect(0, 0, w, h / 2) : QRect(0, h / 2, w, h / 2), scale};
    }
    case LxPagesPerSheet::FourPage:
        switch (c % 4) {
        case 1: return {QRect(0, 0, w / 2, h / 2), 49};
        case 2: return {QRect(w / 2, 0, w / 2, h / 2), 49};
        case 3: return {QRect(0, h / 2, w / 2, h / 2), 49};
        default: return {QRect(w / 2, h / 2, w / 2, h / 2), 49};
        }
    }
    return {QRect(0, 0, w, h), 100};
}

bool endsSheet(LxPagesPerSheet pagesPerSheet, int counter)
{
    switch (pagesPerSheet) {
    case LxPagesPerSheet::OnePage: return true;
    case LxPagesPerSheet::TwoPage: return counter % 2 == 0;
    case LxPagesPerSheet::FourPage: return counter % 4 == 0;
    }
    return true;
}

LxOrientation sheetOrientation(LxPagesPerSheet pagesPerSheet, LxOrientation pages)
{
    if (pagesPerSheet != LxPagesPerSheet::TwoPage)
        return pages;
    return pages == LxOrientation::Portrait ? LxOrientation::Landscape : LxOrientation::Portrait;
}

} // namespace Sheets

void drawPage(QPainter &painter, const LxPageList &pages, int n, double resX, double resY, const QDateTime &now)
{
    const LxPage &page = pages.page(n);
    painter.save();
    if (pages.margins().clipMargins()) {
        const QRectF m = pages.marginRect(n);
        painter.setClipRect(QRectF(m.left() * resX, m.top() * resY, m.width() * resX, m.height() * resY), Qt::IntersectClip);
    }
    LxRtfPreview::renderSlice(painter, page, resX, resY);
    if (page.showHeader)
        Captions::drawBand(painter, pages.header(), pages.headerRect(n), n, pages.count(), resX, resY, now);
    if (page.showFooter)
        Captions::drawBand(painter, pages.footer(), pages.footerRect(n), n, pages.count(), resX, resY, now);
    painter.restore();
}
