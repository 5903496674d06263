#include "tools/resgen/contact_sheet.h"

#include <QFont>
#include <QPainter>
#include <algorithm>

namespace resgen {

namespace {

const QColor kMapBeige(0xEE, 0xE8, 0xDC);

QImage ShowKeyAs(const QImage& source, const QColor& background)
{
    QImage image = source.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == 0xFF00FF)
                line[x] = background.rgb();
        }
    }
    return image;
}

} // namespace

QImage MakeContactSheet(
    const QString& title, const std::vector<SheetItem>& items, int width, const QString& family)
{
    const int gap = 6, labelHeight = 12, titleHeight = 24;
    // First pass places the items, the second draws them.
    struct Place {
        int x, y;
    };
    std::vector<Place> places;
    int x = gap, y = titleHeight + gap, rowHeight = 0;
    for (const SheetItem& item : items) {
        const int w = std::max(item.picture.width(), 34), h = item.picture.height() + labelHeight;
        if (x + w + gap > width && x > gap) {
            x = gap;
            y += rowHeight + gap;
            rowHeight = 0;
        }
        places.push_back({ x, y });
        x += w + gap;
        rowHeight = std::max(rowHeight, h);
    }
    QImage sheet(width, y + rowHeight + gap, QImage::Format_RGB32);
    sheet.fill(QColor(0x9E, 0xA7, 0xAD));
    QPainter p(&sheet);
    QFont font(family);
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(Qt::black);
    QFont bold = font;
    bold.setBold(true);
    bold.setPixelSize(14);
    p.setFont(bold);
    p.drawText(QRect(gap, 0, width - 2 * gap, titleHeight), Qt::AlignVCenter | Qt::AlignLeft, title);
    p.setFont(font);
    for (size_t i = 0; i < items.size(); ++i) {
        const QImage& picture = items[i].picture;
        const int cell = std::max(picture.width(), 34);
        p.drawImage(places[i].x + (cell - picture.width()) / 2, places[i].y, ShowKeyAs(picture, kMapBeige));
        p.drawText(QRect(places[i].x - 2, places[i].y + picture.height(), cell + 4, labelHeight),
            Qt::AlignCenter, QString::number(items[i].id));
    }
    return sheet;
}

} // namespace resgen
