#pragma once
// Draws the program's pictures from their recipes in the resource table, in
// one style: dark blue rounded tiles with white symbols for buttons and list
// icons, bold blue arrows on white for maneuvers, coloured discs for points
// of interest. Symbols come from the Material Design icon font.
#include "tools/resgen/resource_table.h"

#include <QImage>
#include <QString>
#include <map>
#include <optional>

class QPainter;
class QPainterPath;
class QRectF;

namespace resgen {

struct PainterFonts {
    QString iconFamily; // the Material Design icon font, loaded by the caller
    std::map<QString, char32_t> iconCodes; // icon name -> code point
    QString textFamily; // a sans-serif family for letters and digits
};

class PicturePainter {
public:
    explicit PicturePainter(PainterFonts fonts);

    // The picture of `entry` at press step `step` (0 for single pictures) and
    // pixel `size`; the recipe's coordinates are the 96-dpi size, scaled to
    // `size`. Transparent pixels have alpha 0. Nothing, with `error` set, for
    // a recipe it does not know.
    std::optional<QImage> Paint(const ResourceEntry& entry, int step, QSize size, QString* error) const;

    // Checks that a symbol name ("mi:name", "txt:A", ...) can be drawn.
    bool CanDrawSymbol(const QString& symbol) const;

    // A symbol's outline fitted into `box`, and the symbol drawn there.
    QPainterPath SymbolPath(const QString& symbol, const QRectF& box) const;
    void DrawSymbol(QPainter& p, const QString& symbol, const QRectF& box, const QColor& colour) const;
    const QString& TextFamily() const { return fonts_.textFamily; }

private:
    // Draws the recipe `args` (its kind first) through its own function.
    bool Draw(QPainter& p, const QStringList& args, int step, double w, double h) const;

    PainterFonts fonts_;
};

} // namespace resgen
