#pragma once
// A contact sheet: every picture of one resource folder on one PNG, each with
// its id under it, so the whole set can be reviewed at a glance.
#include <QImage>
#include <QString>
#include <vector>

namespace resgen {

struct SheetItem {
    int id = 0;
    QImage picture; // as decoded from the written BMP; magenta is the key
};

// Lays the items out in rows no wider than `width`, magenta shown as the
// map's beige, with the font family `family` for the labels.
QImage MakeContactSheet(
    const QString& title, const std::vector<SheetItem>& items, int width, const QString& family);

} // namespace resgen
