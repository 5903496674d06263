#include "tools/resgen/picture_painter.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QStringList>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace resgen {

namespace {

// The palette every picture shares.
const QColor kTileTop[3] = { QColor(0x4A, 0x77, 0xAD), QColor(0x3A, 0x62, 0x93), QColor(0x27, 0x45, 0x6B) };
const QColor kTileBottom[3]
    = { QColor(0x22, 0x44, 0x6F), QColor(0x1A, 0x36, 0x58), QColor(0x10, 0x23, 0x3B) };
const QColor kTileBorder(0x0D, 0x1F, 0x33);
const QColor kPressedSymbol(0xFF, 0xC0, 0x4D); // a fully pressed or switched-on button
const QColor kInk(0x1F, 0x33, 0x4D); // dark symbols on light ground
const QColor kRouteBlue(0x1A, 0x4E, 0x9A);
const QColor kRoadGrey(0xC5, 0xCF, 0xD8);
const QColor kStartGreen(0x2E, 0x7D, 0x32);
const QColor kFinishRed(0xC6, 0x28, 0x28);
const QColor kStationBlue(0x15, 0x65, 0xC0);
const QColor kPanelLine(0x2F, 0x5A, 0x8A);

QColor NamedColour(const QString& name)
{
    if (name == u"green")
        return kStartGreen;
    if (name == u"red")
        return kFinishRed;
    if (name == u"blue")
        return kStationBlue;
    return QColor(name);
}

QPointF Direction(double clockwiseFromUpDegrees)
{
    const double a = qDegreesToRadians(clockwiseFromUpDegrees);
    return QPointF(std::sin(a), -std::cos(a));
}

// A rounded rectangle shaded from `top` to `bottom`, with a thin border.
void FillRounded(QPainter& p, const QRectF& r, double radius, const QColor& top, const QColor& bottom,
    const QColor& border)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(border, 1.0));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
}

void FillTile(QPainter& p, const QRectF& r, double radius, int step)
{
    FillRounded(p, r, radius, kTileTop[step], kTileBottom[step], kTileBorder);
    if (step == 0) {
        // A thin light rim along the top: the button stands out of the map.
        p.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    }
}

// An arrow head whose tip is at `tip`, pointing along `dir`.
QPolygonF ArrowHead(QPointF tip, QPointF dir, double length, double halfWidth)
{
    const QPointF perp(-dir.y(), dir.x());
    const QPointF base = tip - dir * length;
    return QPolygonF({ tip, base + perp * halfWidth, base - perp * halfWidth });
}

// Strokes `path` as a route: a light road underneath and the blue route on
// top with an arrow head at the end, which points along `endDir`.
void DrawRoute(QPainter& p, const QPainterPath& path, QPointF endDir, double scale = 1.0)
{
    const QPointF end = path.currentPosition();
    const QPointF tip = end + endDir * 8.0 * scale;
    QPainterPath full = path;
    full.lineTo(end + endDir * 2.0 * scale);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kRoadGrey, 13 * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(full);
    p.setPen(QPen(kRouteBlue, 6.5 * scale, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(kRouteBlue, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kRouteBlue);
    p.drawPolygon(ArrowHead(tip, endDir, 10 * scale, 8 * scale));
}

// The navigation chevron of the position marker, pointing up, centred on 0,0.
QPolygonF Chevron(double r)
{
    return QPolygonF(
        { QPointF(0, -r), QPointF(0.75 * r, 0.8 * r), QPointF(0, 0.4 * r), QPointF(-0.75 * r, 0.8 * r) });
}

// A bold arrow pointing up, centred on 0,0, for the target direction.
QPolygonF BigArrow(double length, double shaft, double head, double headLength)
{
    const double top = -length / 2, bottom = length / 2, neck = top + headLength;
    return QPolygonF(
        { QPointF(0, top), QPointF(head / 2, neck), QPointF(shaft / 2, neck), QPointF(shaft / 2, bottom),
            QPointF(-shaft / 2, bottom), QPointF(-shaft / 2, neck), QPointF(-head / 2, neck) });
}

// The layout of the transparent buttons over the screen: zone numbers by
// row and column, zone 0 in the middle.
constexpr int kZones[4][4] = { { 5, 6, 7, 8 }, { 16, 1, 2, 9 }, { 15, 4, 3, 10 }, { 14, 13, 12, 11 } };

// What a recipe draws with: the painter scaled to the picture's 96-dpi size
// (w x h), the recipe's words (its kind first), the press step (0 to 2), and
// the painter of symbols and text.
struct Canvas {
    QPainter& p;
    const QStringList& args;
    QString arg1, arg2;
    int step;
    double w, h;
    QRectF all;
    const PicturePainter& painter;
};

bool Button(const Canvas& c)
{
    QPainter& p = c.p;
    const QString& arg1 = c.arg1;
    const double w = c.w, h = c.h;
    const QRectF& all = c.all;
    const int step = c.step;
    // A square command button; its symbol sinks and turns amber as the
    // press animation reaches the fully pressed step.
    const QRectF r = all.adjusted(0.5, 0.5, -0.5, -0.5);
    FillTile(p, r, std::min(w, h) * 0.2, step);
    const double inset = std::min(w, h) * (arg1.startsWith(u"menu:") ? 0.12 : 0.17);
    const QRectF box = all.adjusted(inset, inset, -inset, -inset).translated(step * w / 40, step * w / 40);
    c.painter.DrawSymbol(p, arg1, box, step == 2 ? kPressedSymbol : QColor(Qt::white));
    return true;
}

bool ListIcon(const Canvas& c)
{
    QPainter& p = c.p;
    const QString& kind = c.args[0];
    const QString& arg1 = c.arg1;
    const double w = c.w;
    const QRectF& all = c.all;
    // List and menu icons: the button's tile, small.
    const QRectF r = all.adjusted(0.5, 0.5, -0.5, -0.5);
    FillTile(p, r, w * 0.2, 0);
    const double inset = w * (kind == u"tile" ? 0.17 : 0.1);
    c.painter.DrawSymbol(p, arg1, all.adjusted(inset, inset, -inset, -inset), Qt::white);
    return true;
}

bool MapGlyph(const Canvas& c)
{
    QPainter& p = c.p;
    const QString& arg1 = c.arg1;
    const QRectF& all = c.all;
    // A symbol on the map: dark with a white halo.
    const QPainterPath path = c.painter.SymbolPath(arg1, all.adjusted(1, 1, -1, -1));
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPath(path);
    return true;
}

bool KeyCap(const Canvas& c)
{
    QPainter& p = c.p;
    const QString& arg1 = c.arg1;
    const double w = c.w;
    const QRectF& all = c.all;
    // A hardware key: a light key cap.
    FillRounded(p, all.adjusted(0.5, 0.5, -0.5, -0.5), w * 0.22, QColor(0xF7, 0xF8, 0xFA),
        QColor(0xC3, 0xCA, 0xD4), QColor(0x55, 0x61, 0x70));
    c.painter.DrawSymbol(p, arg1, all.adjusted(w * 0.18, w * 0.18, -w * 0.18, -w * 0.18), kInk);
    return true;
}

bool PoiSymbol(const Canvas& c)
{
    QPainter& p = c.p;
    const QStringList& a = c.args;
    const QString& arg1 = c.arg1;
    const QString& arg2 = c.arg2;
    const double w = c.w;
    const QRectF& all = c.all;
    // A point-of-interest category: a white symbol on the group's colour,
    // a disc on the map, a rounded square in lists, framed as a waypoint.
    const QColor colour(arg2);
    const QString shape = a.size() > 3 ? a[3] : QStringLiteral("circle");
    const QRectF r = all.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setBrush(colour);
    if (shape == u"circle") {
        p.setPen(QPen(Qt::white, 1.0));
        p.drawEllipse(r);
    } else if (shape == u"square") {
        p.setPen(QPen(colour.darker(150), 1.0));
        p.drawRoundedRect(r, w * 0.2, w * 0.2);
    } else {
        p.setPen(QPen(kInk, 1.0));
        p.drawRoundedRect(r, w * 0.12, w * 0.12);
        p.setPen(QPen(Qt::white, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(1, 1, -1, -1), w * 0.08, w * 0.08);
    }
    const double inset = w * (shape == u"circle" ? 0.2 : 0.16);
    c.painter.DrawSymbol(p, arg1, all.adjusted(inset, inset, -inset, -inset), Qt::white);
    return true;
}

bool WaypointFlag(const Canvas& c)
{
    QPainter& p = c.p;
    const QString& arg1 = c.arg1;
    const double w = c.w, h = c.h;
    // A waypoint flag: its pole stands on the lower-left corner.
    const QColor colour(arg1);
    QPainterPath flag;
    flag.moveTo(w * 0.22, h * 0.08);
    flag.cubicTo(w * 0.45, h * 0.0, w * 0.65, h * 0.2, w * 0.94, h * 0.1);
    flag.lineTo(w * 0.94, h * 0.56);
    flag.cubicTo(w * 0.65, h * 0.66, w * 0.45, h * 0.46, w * 0.22, h * 0.54);
    flag.closeSubpath();
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(colour);
    p.drawPath(flag);
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), w / 10, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(w * 0.16, h * 0.04), QPointF(w * 0.16, h));
    return true;
}

bool NoWaypoint(const Canvas& c)
{
    QPainter& p = c.p;
    const QRectF& all = c.all;
    const QPainterPath path = c.painter.SymbolPath(QStringLiteral("mi:place"), all);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(QColor(0x78, 0x90, 0x9C));
    p.drawPath(path);
    return true;
}

bool SortArrow(const Canvas& c)
{
    QPainter& p = c.p;
    const QString& arg1 = c.arg1;
    const double w = c.w;
    const QPointF centre = c.all.center();
    if (arg1 == u"blank")
        return true;
    const double half = w * 0.25, rise = w * 0.28;
    const double dir = arg1 == u"up" ? -1 : 1;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5F, 0x6B, 0x7A));
    p.drawPolygon(QPolygonF({ centre + QPointF(0, dir * rise / 2), centre + QPointF(half, -dir * rise / 2),
        centre + QPointF(-half, -dir * rise / 2) }));
    return true;
}

bool PositionMarker(const Canvas& c)
{
    QPainter& p = c.p;
    const QString& kind = c.args[0];
    const QString& arg1 = c.arg1;
    const double w = c.w;
    const QPointF centre = c.all.center();
    p.translate(centre);
    const bool shadow = kind == u"gpsshadow";
    if (shadow)
        p.translate(1.5, 2.0);
    if (kind == u"gpsinvalid" || arg1 == u"none") {
        // No valid fix: a grey disc instead of a heading.
        p.setPen(shadow ? Qt::NoPen : QPen(Qt::white, 2.0));
        p.setBrush(shadow ? QColor(0x20, 0x20, 0x20) : QColor(0x8A, 0x8F, 0x96));
        p.drawEllipse(QPointF(0, 0), w * 0.3, w * 0.3);
        if (!shadow) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(0, 0), w * 0.08, w * 0.08);
        }
        return true;
    }
    p.rotate(arg1.toDouble());
    const QPolygonF chevron = Chevron(w * 0.42);
    if (shadow) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x20, 0x20, 0x20));
    } else {
        p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0x15, 0x65, 0xC0));
    }
    p.drawPolygon(chevron);
    return true;
}

bool TargetArrow(const Canvas& c)
{
    QPainter& p = c.p;
    const QString& arg1 = c.arg1;
    const double w = c.w;
    const QPointF centre = c.all.center();
    p.translate(centre);
    if (arg1 == u"none") {
        p.setPen(QPen(Qt::white, 2.5));
        p.setBrush(kStartGreen);
        p.drawEllipse(QPointF(0, 0), w * 0.22, w * 0.22);
        return true;
    }
    p.rotate(arg1.toDouble());
    const QPolygonF arrow = BigArrow(w * 0.78, w * 0.2, w * 0.5, w * 0.32);
    p.setPen(QPen(QColor(0x10, 0x30, 0x10), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(arrow);
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kStartGreen);
    p.drawPolygon(arrow);
    return true;
}

bool Maneuver(const Canvas& c)
{
    QPainter& p = c.p;
    const QStringList& a = c.args;
    const QString& arg1 = c.arg1;
    const QString& arg2 = c.arg2;
    const double w = c.w, h = c.h;
    const QRectF& all = c.all;
    const QPointF centre = c.all.center();
    // White card, light road, blue route with its arrow head.
    p.setPen(QPen(QColor(0x78, 0x90, 0x9C), 1.0));
    p.setBrush(Qt::white);
    p.drawRoundedRect(all.adjusted(0.5, 0.5, -0.5, -0.5), w * 0.1, w * 0.1);
    const double s = w / 60;
    if (arg1 == u"none")
        return true;
    // Fits the route drawing into the card and draws it.
    const auto fitAndDraw = [&](const QPainterPath& path, QPointF endDir) {
        const QPointF tip = path.currentPosition() + endDir * 8 * s;
        const QRectF bounds
            = path.boundingRect().united(QRectF(tip, tip)).adjusted(-7 * s, -7 * s, 7 * s, 7 * s);
        const double k = std::min({ 1.0, (w - 4) / bounds.width(), (h - 4) / bounds.height() });
        p.translate(centre);
        p.scale(k, k);
        p.translate(-bounds.center());
        DrawRoute(p, path, endDir, s);
    };
    if (arg1 == u"turn" || arg1 == u"straight") {
        const double side = arg2 == u"1" ? -1.0 : 1.0; // side 1 turns left, side 2 right
        double angle = arg1 == u"turn" && a.size() > 3 ? a[3].toDouble() : 0.0;
        // Sharp turns are drawn a little less sharp than they are, so the
        // two legs stay apart and the way out can still be read.
        if (angle > 120)
            angle = 120 + (angle - 120) * 0.55;
        const QPointF exitDir = Direction(side * angle);
        QPainterPath path(QPointF(0, 24 * s));
        path.lineTo(0, 0);
        path.lineTo(exitDir * (angle > 100 ? 20 : 16) * s);
        fitAndDraw(path, exitDir);
        return true;
    }
    if (arg1 == u"uturn") {
        const double side = arg2 == u"1" ? -1.0 : 1.0;
        const double r = 9 * s;
        QPainterPath path(QPointF(0, 24 * s));
        path.lineTo(0, 0);
        // Over the top to the other leg, then down again.
        path.arcTo(
            QRectF(side > 0 ? 0 : -2 * r, -r, 2 * r, 2 * r), side > 0 ? 180 : 0, side > 0 ? -180 : 180);
        path.lineTo(side * 2 * r, 10 * s);
        fitAndDraw(path, QPointF(0, 1));
        return true;
    }
    if (arg1 == u"start") {
        QPainterPath path(QPointF(centre.x(), h - 14 * s));
        path.lineTo(centre.x(), 20 * s);
        DrawRoute(p, path, QPointF(0, -1), s);
        p.setPen(QPen(Qt::white, 2 * s));
        p.setBrush(kStartGreen);
        p.drawEllipse(QPointF(centre.x(), h - 14 * s), 8 * s, 8 * s);
        return true;
    }
    if (arg1 == u"finish") {
        QPainterPath path(QPointF(centre.x(), h - 6 * s));
        path.lineTo(centre.x(), h - 22 * s);
        DrawRoute(p, path, QPointF(0, -1), s);
        // A chequered flag on its pole over the end of the route.
        const double left = centre.x() - 2 * s, top = 6 * s, cell = 5 * s;
        p.setPen(QPen(kInk, 2 * s, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(left, top), QPointF(left, top + 26 * s));
        p.setPen(Qt::NoPen);
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 4; ++col) {
                p.setBrush((row + col) % 2 ? QColor(Qt::white) : kInk);
                p.drawRect(QRectF(left + 1 * s + col * cell, top + row * cell, cell, cell));
            }
        }
        p.setPen(QPen(kInk, 1.0 * s));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(left + 1 * s, top, 4 * cell, 3 * cell));
        return true;
    }
    if (arg1 == u"via") {
        QPainterPath path(QPointF(centre.x(), h - 6 * s));
        path.lineTo(centre.x(), 16 * s);
        DrawRoute(p, path, QPointF(0, -1), s);
        p.setPen(QPen(Qt::white, 2 * s));
        p.setBrush(kStationBlue);
        p.drawEllipse(QPointF(centre.x(), 36 * s), 10 * s, 10 * s);
        c.painter.DrawSymbol(
            p, QStringLiteral("txt:") + arg2, QRectF(centre.x() - 5 * s, 31 * s, 10 * s, 10 * s), Qt::white);
        return true;
    }
    return false;
}

bool Marker(const Canvas& c)
{
    QPainter& p = c.p;
    const double w = c.w;
    const QPointF centre = c.all.center();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, w * 0.28));
    p.drawEllipse(centre, w * 0.34, w * 0.34);
    p.setPen(QPen(QColor(0xFF, 0x6F, 0x00), w * 0.16));
    p.drawEllipse(centre, w * 0.34, w * 0.34);
    return true;
}

bool RoutePointFlag(const Canvas& c)
{
    QPainter& p = c.p;
    const QString& arg1 = c.arg1;
    const double w = c.w, h = c.h;
    // A flag whose pole foot is a third of the width in, at the bottom.
    const QColor colour = arg1 == u"A" ? kStartGreen : arg1 == u"B" ? kFinishRed : kStationBlue;
    const double pole = w / 3;
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(pole, h), QPointF(pole, 1));
    const QRectF flag(pole, 1, w - pole - 0.5, h * 0.5);
    p.setPen(QPen(kInk, 1.0));
    p.setBrush(colour);
    p.drawRect(flag);
    c.painter.DrawSymbol(p, QStringLiteral("txt:") + arg1, flag.adjusted(2, 2, -2, -2), Qt::white);
    return true;
}

bool ZoomControl(const Canvas& c)
{
    QPainter& p = c.p;
    const double w = c.w, h = c.h;
    const QRectF& all = c.all;
    p.setPen(QPen(QColor(0x54, 0x6E, 0x7A), 1.5));
    p.setBrush(QColor(0xEC, 0xEF, 0xF1));
    p.drawRoundedRect(all.adjusted(1, 1, -1, -1), w * 0.35, w * 0.35);
    const double top = w, bottom = h - w;
    p.setPen(QPen(QColor(0x78, 0x90, 0x9C), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(w / 2, top), QPointF(w / 2, bottom));
    p.setPen(QPen(QColor(0x78, 0x90, 0x9C), 1));
    for (double y = top; y <= bottom + 0.01; y += (bottom - top) / 8)
        p.drawLine(QPointF(w * 0.3, y), QPointF(w * 0.7, y));
    return true;
}

bool ZoomKnob(const Canvas& c)
{
    QPainter& p = c.p;
    const double w = c.w, h = c.h;
    const QRectF& all = c.all;
    FillRounded(p, all.adjusted(1.5, 0.5, -1.5, -0.5), h * 0.35, QColor(0xFF, 0xA7, 0x26),
        QColor(0xE6, 0x51, 0x00), QColor(0x5D, 0x40, 0x37));
    p.setPen(QPen(Qt::white, 1.0));
    for (double x : { w / 2 - 4, w / 2, w / 2 + 4 })
        p.drawLine(QPointF(x, h * 0.3), QPointF(x, h * 0.7));
    return true;
}

bool ScaleBar(const Canvas& c)
{
    QPainter& p = c.p;
    const double w = c.w, h = c.h;
    // 40 pixels of bar between two ticks, over a white halo.
    QPainterPath bar;
    bar.moveTo(1, 1);
    bar.lineTo(1, h - 1.5);
    bar.lineTo(w - 1, h - 1.5);
    bar.lineTo(w - 1, 1);
    bar.moveTo(w / 2, h * 0.45);
    bar.lineTo(w / 2, h - 1.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(bar);
    p.setPen(QPen(Qt::black, 1.4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(bar);
    return true;
}

bool CentreMark(const Canvas& c)
{
    QPainter& p = c.p;
    const QString& arg1 = c.arg1;
    const double w = c.w, h = c.h;
    const QPointF centre = c.all.center();
    const double r = w * 0.3;
    const bool spare = arg1 == u"spare";
    p.setBrush(Qt::NoBrush);
    for (int pass = 0; pass < 2; ++pass) {
        p.setPen(QPen(pass ? (spare ? kInk : kFinishRed) : QColor(Qt::white), pass ? 1.8 : 4.0, Qt::SolidLine,
            Qt::RoundCap));
        p.drawEllipse(centre, r, r);
        p.drawLine(QPointF(centre.x(), 1.5), QPointF(centre.x(), centre.y() - r * 0.45));
        p.drawLine(QPointF(centre.x(), h - 1.5), QPointF(centre.x(), centre.y() + r * 0.45));
        p.drawLine(QPointF(1.5, centre.y()), QPointF(centre.x() - r * 0.45, centre.y()));
        p.drawLine(QPointF(w - 1.5, centre.y()), QPointF(centre.x() + r * 0.45, centre.y()));
    }
    return true;
}

bool MenuCheck(const Canvas& c)
{
    QPainter& p = c.p;
    const double w = c.w, h = c.h;
    p.setPen(QPen(kStartGreen, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(
        QPolygonF({ QPointF(w * 0.12, h * 0.55), QPointF(w * 0.4, h * 0.85), QPointF(w * 0.88, h * 0.15) }));
    return true;
}

bool MenuSubmenu(const Canvas& c)
{
    QPainter& p = c.p;
    const double w = c.w, h = c.h;
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(
        QPolygonF({ QPointF(w * 0.15, h * 0.1), QPointF(w * 0.9, h * 0.5), QPointF(w * 0.15, h * 0.9) }));
    return true;
}

bool MenuScroll(const Canvas& c)
{
    QPainter& p = c.p;
    const QString& arg1 = c.arg1;
    const double w = c.w, h = c.h;
    const QPointF centre = c.all.center();
    const double dir = arg1 == u"up" ? -1 : 1;
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({ centre + QPointF(0, dir * h * 0.35), centre + QPointF(w * 0.3, -dir * h * 0.35),
        centre + QPointF(-w * 0.3, -dir * h * 0.35) }));
    return true;
}

bool DiagramFrame(const Canvas& c)
{
    QPainter& p = c.p;
    const QRectF& all = c.all;
    // Only the frame: the widget inside shows through the key colour.
    p.setPen(QPen(kTileBorder, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(all.adjusted(1, 1, -1, -1), 3, 3);
    return true;
}

bool TextButton(const Canvas& c)
{
    QPainter& p = c.p;
    const double h = c.h;
    const QRectF& all = c.all;
    const int step = c.step;
    static const QColor tops[3]
        = { QColor(0xF4, 0xF7, 0xFB), QColor(0xDC, 0xE5, 0xEF), QColor(0xC2, 0xD0, 0xDF) };
    static const QColor bottoms[3]
        = { QColor(0xC5, 0xD3, 0xE3), QColor(0xAF, 0xC0, 0xD4), QColor(0x95, 0xAA, 0xC2) };
    FillRounded(p, all.adjusted(0.5, 0.5, -0.5, -0.5), h * 0.25, tops[step], bottoms[step], kPanelLine);
    return true;
}

bool MessagePanel(const Canvas& c)
{
    QPainter& p = c.p;
    const QString& kind = c.args[0];
    const double w = c.w, h = c.h;
    // The message panel in three parts stacked by the window: a light blue
    // title strip, white body segments and a rounded bottom edge.
    const double r = 6, x0 = 0.75, x1 = w - 0.75;
    QPainterPath outline;
    QPainterPath area;
    if (kind == u"msgtitle") {
        area.moveTo(x0, h);
        area.lineTo(x0, r);
        area.quadTo(x0, 0.75, r, 0.75);
        area.lineTo(x1 - r, 0.75);
        area.quadTo(x1, 0.75, x1, r);
        area.lineTo(x1, h);
        outline = area;
        area.closeSubpath();
        QLinearGradient g(0, 0, 0, h);
        g.setColorAt(0, QColor(0xDC, 0xEA, 0xFA));
        g.setColorAt(1, QColor(0xAF, 0xCB, 0xEA));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(area);
        outline.moveTo(x0, h - 0.5);
        outline.lineTo(x1, h - 0.5);
    } else if (kind == u"msgbody") {
        area.addRect(QRectF(x0, 0, x1 - x0, h));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xFD, 0xFD, 0xF8));
        p.drawPath(area);
        outline.moveTo(x0, 0);
        outline.lineTo(x0, h);
        outline.moveTo(x1, 0);
        outline.lineTo(x1, h);
    } else {
        area.moveTo(x0, 0);
        area.lineTo(x0, h - r);
        area.quadTo(x0, h - 0.75, r, h - 0.75);
        area.lineTo(x1 - r, h - 0.75);
        area.quadTo(x1, h - 0.75, x1, h - r);
        area.lineTo(x1, 0);
        outline = area;
        area.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xFD, 0xFD, 0xF8));
        p.drawPath(area);
    }
    p.setPen(QPen(kPanelLine, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(outline);
    return true;
}

bool Highlight(const Canvas& c)
{
    QPainter& p = c.p;
    const double h = c.h;
    const QRectF& all = c.all;
    p.setPen(QPen(QColor(0xFF, 0x98, 0x00), 3.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(all.adjusted(1.5, 1.5, -1.5, -1.5), h * 0.2, h * 0.2);
    return true;
}

bool LoadingScreen(const Canvas& c)
{
    QPainter& p = c.p;
    const double w = c.w, h = c.h;
    const QRectF& all = c.all;
    // The start-up picture: the name at the top, room for the version
    // text, a road and the track of the progress bar.
    const bool landscape = w > h, square = w == h;
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(0x0B, 0x1F, 0x3A));
    g.setColorAt(1, QColor(0x13, 0x4A, 0x6E));
    p.fillRect(all, g);
    QFont font(c.painter.TextFamily());
    font.setBold(true);
    font.setPixelSize(28);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 14, w, 40), Qt::AlignCenter, QStringLiteral("Travenor Pro"));
    p.setPen(QPen(QColor(0xFF, 0xB7, 0x4D), 2));
    p.drawLine(QPointF(w / 2 - 60, 60), QPointF(w / 2 + 60, 60));
    const double barTop = landscape ? 205 : square ? 206 : 286;
    const double barLength = landscape ? 310 : 230;
    const double roadTop = 136, roadBottom = barTop - 10;
    if (roadBottom - roadTop > 20) {
        QPainterPath road;
        road.moveTo(w / 2 - 6, roadTop);
        road.lineTo(w / 2 + 6, roadTop);
        road.lineTo(w / 2 + (roadBottom - roadTop) * 0.8, roadBottom);
        road.lineTo(w / 2 - (roadBottom - roadTop) * 0.8, roadBottom);
        road.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x37, 0x47, 0x4F));
        p.drawPath(road);
        p.setPen(QPen(QColor(0xFF, 0xD5, 0x4F), 2.0, Qt::DashLine));
        p.drawLine(QPointF(w / 2, roadTop + 4), QPointF(w / 2, roadBottom));
    }
    p.setPen(QPen(QColor(0x5C, 0x7A, 0x99), 1.0));
    p.setBrush(QColor(0x0D, 0x24, 0x38));
    p.drawRect(QRectF(1.5, barTop - 0.5, barLength + 1, 39));
    return true;
}

bool LoadingTile(const Canvas& c)
{
    QPainter& p = c.p;
    const double w = c.w, h = c.h;
    const QRectF& all = c.all;
    p.fillRect(all, QColor(0x0D, 0x24, 0x38));
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(0x9C, 0xCC, 0x65));
    g.setColorAt(1, QColor(0x33, 0x69, 0x1E));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 3, w - 2, h - 6), 2, 2);
    return true;
}

bool ZoneLayout(const Canvas& c)
{
    QPainter& p = c.p;
    const double w = c.w, h = c.h;
    const QRectF& all = c.all;
    // The screen as the transparent buttons divide it: a 4 x 4 grid of
    // numbered zones and zone 0 in the middle.
    p.fillRect(all, QColor(0xEE, 0xE8, 0xDC));
    p.setPen(QPen(QColor(0x90, 0xA4, 0xAE), 1.0));
    for (int k = 1; k < 4; ++k) {
        p.drawLine(QPointF(w * k / 4, 0), QPointF(w * k / 4, h));
        p.drawLine(QPointF(0, h * k / 4), QPointF(w, h * k / 4));
    }
    p.setPen(QPen(kInk, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(all.adjusted(0.5, 0.5, -0.5, -0.5));
    QFont font(c.painter.TextFamily());
    font.setBold(true);
    font.setPixelSize(int(std::min(w, h) / 9));
    p.setFont(font);
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            // The four inner numbers move to their outer corners, clear of zone 0.
            const bool inner = (row == 1 || row == 2) && (col == 1 || col == 2);
            const int align = !inner
                ? int(Qt::AlignCenter)
                : (col == 1 ? Qt::AlignLeft : Qt::AlignRight) | (row == 1 ? Qt::AlignTop : Qt::AlignBottom);
            p.drawText(QRectF(w * col / 4 + 3, h * row / 4 + 2, w / 4 - 6, h / 4 - 4), align,
                QString::number(kZones[row][col]));
        }
    }
    const QRectF middle(w / 2 - w / 8, h / 2 - h / 14, w / 4, h / 7);
    p.setPen(QPen(kFinishRed, 1.5));
    p.setBrush(QColor(0xFF, 0xFF, 0xFF, 220));
    p.drawRect(middle);
    p.drawText(middle, Qt::AlignCenter, QStringLiteral("0"));
    return true;
}

bool AppIcon(const Canvas& c)
{
    QPainter& p = c.p;
    const double w = c.w;
    const QRectF& all = c.all;
    FillTile(p, all.adjusted(0.5, 0.5, -0.5, -0.5), w * 0.2, 0);
    c.painter.DrawSymbol(p, QStringLiteral("mi:navigation"),
        all.adjusted(w * 0.15, w * 0.15, -w * 0.15, -w * 0.15), Qt::white);
    return true;
}

using Recipe = bool (*)(const Canvas&);

// Every recipe by its kind: true when drawn, false for arguments it does not know.
const std::map<QString, Recipe>& Recipes()
{
    static const std::map<QString, Recipe> recipes = {
        { QStringLiteral("button"), Button },
        { QStringLiteral("icon"), ListIcon },
        { QStringLiteral("tile"), ListIcon },
        { QStringLiteral("glyph"), MapGlyph },
        { QStringLiteral("key"), KeyCap },
        { QStringLiteral("poi"), PoiSymbol },
        { QStringLiteral("wpflag"), WaypointFlag },
        { QStringLiteral("wpnone"), NoWaypoint },
        { QStringLiteral("sort"), SortArrow },
        { QStringLiteral("gps"), PositionMarker },
        { QStringLiteral("gpsshadow"), PositionMarker },
        { QStringLiteral("gpsinvalid"), PositionMarker },
        { QStringLiteral("target"), TargetArrow },
        { QStringLiteral("maneuver"), Maneuver },
        { QStringLiteral("marker"), Marker },
        { QStringLiteral("routepoint"), RoutePointFlag },
        { QStringLiteral("zoomctrl"), ZoomControl },
        { QStringLiteral("zoomknob"), ZoomKnob },
        { QStringLiteral("scalebar"), ScaleBar },
        { QStringLiteral("centre"), CentreMark },
        { QStringLiteral("menucheck"), MenuCheck },
        { QStringLiteral("menusub"), MenuSubmenu },
        { QStringLiteral("menuscroll"), MenuScroll },
        { QStringLiteral("diagframe"), DiagramFrame },
        { QStringLiteral("textbutton"), TextButton },
        { QStringLiteral("msgtitle"), MessagePanel },
        { QStringLiteral("msgbody"), MessagePanel },
        { QStringLiteral("msgbottom"), MessagePanel },
        { QStringLiteral("highlight"), Highlight },
        { QStringLiteral("loading"), LoadingScreen },
        { QStringLiteral("loadingtile"), LoadingTile },
        { QStringLiteral("layout"), ZoneLayout },
        { QStringLiteral("appicon"), AppIcon },
    };
    return recipes;
}

} // namespace

PicturePainter::PicturePainter(PainterFonts fonts)
    : fonts_(std::move(fonts))
{
}

bool PicturePainter::CanDrawSymbol(const QString& symbol) const
{
    const QString name = symbol.section(u'/', 0, 0);
    if (name == u"empty" || name.startsWith(u"txt:") || name.startsWith(u"menu:"))
        return true;
    if (!name.startsWith(u"mi:"))
        return false;
    const auto it = fonts_.iconCodes.find(name.mid(3));
    if (it == fonts_.iconCodes.end())
        return false;
    QFont font(fonts_.iconFamily);
    font.setPixelSize(24);
    return QRawFont::fromFont(font).supportsCharacter(it->second);
}

QPainterPath PicturePainter::SymbolPath(const QString& symbol, const QRectF& box) const
{
    QPainterPath path;
    const QString name = symbol.section(u'/', 0, 0);
    QFont font;
    QString text;
    if (name.startsWith(u"mi:")) {
        const auto it = fonts_.iconCodes.find(name.mid(3));
        if (it == fonts_.iconCodes.end())
            return path;
        font = QFont(fonts_.iconFamily);
        text = QString::fromUcs4(&it->second, 1);
        font.setPixelSize(100);
    } else if (name.startsWith(u"txt:")) {
        font = QFont(fonts_.textFamily);
        font.setBold(true);
        font.setPixelSize(100);
        text = name.mid(4);
    } else {
        return path;
    }
    font.setHintingPreference(QFont::PreferNoHinting);
    path.addText(0, 0, font, text);
    // Icon glyphs fill their em square; letters are fitted by their outline.
    QRectF from = path.boundingRect();
    if (name.startsWith(u"mi:")) {
        const QPointF c = from.center();
        from = QRectF(c.x() - 50, c.y() - 50, 100, 100) | from;
    }
    const double k = std::min(box.width() / from.width(), box.height() / from.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(k, k);
    t.translate(-from.center().x(), -from.center().y());
    return t.map(path);
}

void PicturePainter::DrawSymbol(
    QPainter& p, const QString& symbol, const QRectF& box, const QColor& colour) const
{
    const QString name = symbol.section(u'/', 0, 0);
    if (name == u"empty") {
        // The empty command: a faint dashed outline, so the slot reads as free.
        QPen pen(QColor(0x9F, 0xB8, 0xD6), std::max(1.0, box.width() / 16));
        pen.setDashPattern({ 2, 2 });
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(box.adjusted(2, 2, -2, -2), 3, 3);
        return;
    }
    if (name.startsWith(u"menu:")) {
        // The quick-menu buttons: the menu symbol over its word.
        const QRectF top(box.left(), box.top(), box.width(), box.height() * 0.62);
        DrawSymbol(p, QStringLiteral("mi:menu"), top, colour);
        QFont font(fonts_.textFamily);
        font.setBold(true);
        font.setPixelSize(std::max(6, int(box.height() * 0.34)));
        p.setFont(font);
        p.setPen(colour);
        p.drawText(QRectF(box.left() - 2, top.bottom() - 1, box.width() + 4, box.height() * 0.42),
            Qt::AlignHCenter | Qt::AlignTop, name.mid(5));
        return;
    }
    QColor c = colour;
    if (symbol.contains(u'/') && colour == Qt::white)
        c = NamedColour(symbol.section(u'/', 1, 1)).lighter(180);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(SymbolPath(symbol, box));
}

std::optional<QImage> PicturePainter::Paint(
    const ResourceEntry& entry, int step, QSize size, QString* error) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const double w = entry.qvga.width(), h = entry.qvga.height();
    p.scale(size.width() / w, size.height() / h);
    const QStringList args = entry.recipe.split(u' ', Qt::SkipEmptyParts);
    if (args.isEmpty() || !Draw(p, args, step, w, h)) {
        if (error)
            *error = QStringLiteral("id %1: cannot draw recipe \"%2\"").arg(entry.id).arg(entry.recipe);
        return std::nullopt;
    }
    p.end();
    return image;
}

bool PicturePainter::Draw(QPainter& p, const QStringList& a, int step, double w, double h) const
{
    const auto it = Recipes().find(a[0]);
    if (it == Recipes().end())
        return false;
    const Canvas canvas { p, a, a.size() > 1 ? a[1] : QString(), a.size() > 2 ? a[2] : QString(),
        std::clamp(step, 0, 2), w, h, QRectF(0, 0, w, h), *this };
    return it->second(canvas);
}

} // namespace resgen
