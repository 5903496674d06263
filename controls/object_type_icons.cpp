#include "controls/object_type_icons.h"

#include "foundation/static_tables.h"
#include "nav/map_controller.h"
#include "search/poi_query.h"

#include <array>

namespace {

struct CategoryIcons {
    int mapIcon;
    int smallIcon;
    int bitmap;
};

// By position 1..52 in the POI query's category list.
constexpr std::array<CategoryIcons, 52> kCategoryIcons { {
    { 262, 602, 550 },
    { 263, 603, 551 },
    { 286, 628, 576 },
    { 268, 601, 549 },
    { 292, 635, 583 },
    { 261, 608, 556 },
    { 284, 619, 567 },
    { 274, 614, 562 },
    { 265, 605, 553 },
    { 264, 604, 552 },
    { 296, 638, 586 },
    { 277, 626, 574 },
    { 280, 622, 570 },
    { 267, 607, 555 },
    { 273, 613, 561 },
    { 282, 617, 565 },
    { 315, 609, 557 },
    { 308, 642, 590 },
    { 281, 623, 571 },
    { 283, 632, 580 },
    { 276, 616, 564 },
    { 271, 611, 559 },
    { 288, 630, 578 },
    { 289, 631, 579 },
    { 311, 651, 599 },
    { 294, 636, 584 },
    { 290, 625, 573 },
    { 279, 621, 569 },
    { 269, 618, 566 },
    { 285, 634, 582 },
    { 291, 640, 588 },
    { 314, 624, 572 },
    { 312, 652, 600 },
    { 278, 620, 568 },
    { 295, 637, 585 },
    { 275, 615, 563 },
    { 313, 627, 575 },
    { 298, 639, 587 },
    { 299, 633, 581 },
    { 293, 641, 596 },
    { 287, 629, 577 },
    { 266, 606, 554 },
    { 303, 644, 592 },
    { 304, 645, 593 },
    { 305, 646, 594 },
    { 272, 612, 560 },
    { 306, 647, 595 },
    { 307, 648, 589 },
    { 309, 650, 598 },
    { 301, 649, 597 },
    { 270, 610, 558 },
    { 302, 643, 591 },
} };

// By the waypoint colour number, the order of the colour-name tables.
struct ColourIcons {
    int picture; // the colour picture
    int smallIcon;
    int bitmap;
};

constexpr std::array<ColourIcons, kWaypointColourCount> kColourIcons { {
    { 664, 665, 653 }, // blue
    { 662, 666, 654 }, // red
    { 661, 667, 655 }, // green
    { 378, 668, 656 }, // yellow
    { 663, 669, 657 }, // white
    { 660, 670, 658 }, // black
} };

constexpr int kDefaultIcon = 665;
constexpr int kDefaultBitmap = 653;
constexpr int kBlue = 0;

// The row of a category name, or null.
const CategoryIcons* FindCategory(const QString& name)
{
    if (!g_MapController)
        return nullptr;
    const QStringList& names = g_MapController->GetPoiSearcher().GetCategoryNames();
    for (qsizetype i = 1; i < names.size() && i <= static_cast<qsizetype>(kCategoryIcons.size()); ++i) {
        if (names[i] == name)
            return &kCategoryIcons[static_cast<size_t>(i - 1)];
    }
    return nullptr;
}

// English before Russian for each colour, the colours in their order.
const ColourIcons* FindColour(const QString& name)
{
    for (size_t i = 0; i < kColourIcons.size(); ++i) {
        if (name == QStringView(g_colourNamesEn[i]) || name == QStringView(g_colourNamesRu[i]))
            return &kColourIcons[i];
    }
    return nullptr;
}

// The colour number of a colour picture, blue for any other id.
size_t ColourOfPicture(int id)
{
    for (size_t i = 0; i < kColourIcons.size(); ++i)
        if (kColourIcons[i].picture == id)
            return i;
    return kBlue;
}

} // namespace

int GetCategoryMapIconId(const QString& name)
{
    const CategoryIcons* category = FindCategory(name);
    return category != nullptr ? category->mapIcon : 0;
}

int GetCategoryIconId(const QString& name)
{
    if (const CategoryIcons* category = FindCategory(name))
        return category->smallIcon;
    const ColourIcons* colour = FindColour(name);
    return colour != nullptr ? colour->smallIcon : kDefaultIcon;
}

int GetCategoryBitmapId(const QString& name)
{
    if (name.isEmpty())
        return kDefaultBitmap;
    if (const CategoryIcons* category = FindCategory(name))
        return category->bitmap;
    const ColourIcons* colour = FindColour(name);
    return colour != nullptr ? colour->bitmap : kDefaultBitmap;
}

int GetSpecialCategoryIconId(const QString& name)
{
    const ColourIcons* colour = FindColour(name);
    return colour != nullptr ? colour->picture : kDefaultBitmap;
}

QString GetSpecialCategoryNameEn(int id)
{
    return QStringView(g_colourNamesEn[ColourOfPicture(id)]).toString();
}

QString GetSpecialCategoryNameRu(int id)
{
    return QStringView(g_colourNamesRu[ColourOfPicture(id)]).toString();
}
