#include "controls/object_type_icons.h"

#include "nav/map_controller.h"
#include "search/poi_query.h"

#include <array>

namespace {

struct CategoryIcons {
    int smallIcon;
    int bitmap;
};

// By position 1..52 in the POI query's category list.
constexpr std::array<CategoryIcons, 52> kCategoryIcons { {
    { 602, 550 },
    { 603, 551 },
    { 628, 576 },
    { 601, 549 },
    { 635, 583 },
    { 608, 556 },
    { 619, 567 },
    { 614, 562 },
    { 605, 553 },
    { 604, 552 },
    { 638, 586 },
    { 626, 574 },
    { 622, 570 },
    { 607, 555 },
    { 613, 561 },
    { 617, 565 },
    { 609, 557 },
    { 642, 590 },
    { 623, 571 },
    { 632, 580 },
    { 616, 564 },
    { 611, 559 },
    { 630, 578 },
    { 631, 579 },
    { 651, 599 },
    { 636, 584 },
    { 625, 573 },
    { 621, 569 },
    { 618, 566 },
    { 634, 582 },
    { 640, 588 },
    { 624, 572 },
    { 652, 600 },
    { 620, 568 },
    { 637, 585 },
    { 615, 563 },
    { 627, 575 },
    { 639, 587 },
    { 633, 581 },
    { 641, 596 },
    { 629, 577 },
    { 606, 554 },
    { 644, 592 },
    { 645, 593 },
    { 646, 594 },
    { 612, 560 },
    { 647, 595 },
    { 648, 589 },
    { 650, 598 },
    { 649, 597 },
    { 610, 558 },
    { 643, 591 },
} };

struct ColourIcons {
    const char16_t* english;
    const char16_t* russian;
    int smallIcon;
    int bitmap;
};

constexpr std::array<ColourIcons, 6> kColourIcons { {
    { u"Blue", u"Синий", 665, 653 },
    { u"Red", u"Красный", 666, 654 },
    { u"Green", u"Зеленый", 667, 655 },
    { u"Yellow", u"Желтый", 668, 656 },
    { u"White", u"Белый", 669, 657 },
    { u"Black", u"Черный", 670, 658 },
} };

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

const ColourIcons* FindColour(const QString& name)
{
    for (const ColourIcons& c : kColourIcons) {
        if (name == QStringView(c.english) || name == QStringView(c.russian))
            return &c;
    }
    return nullptr;
}

} // namespace

int GetCategoryIconId(const QString& name)
{
    if (const CategoryIcons* category = FindCategory(name))
        return category->smallIcon;
    const ColourIcons* colour = FindColour(name);
    return colour != nullptr ? colour->smallIcon : 665;
}

int GetCategoryBitmapId(const QString& name)
{
    if (name.isEmpty())
        return 653;
    if (const CategoryIcons* category = FindCategory(name))
        return category->bitmap;
    const ColourIcons* colour = FindColour(name);
    return colour != nullptr ? colour->bitmap : 653;
}
