#pragma once
// Image ids of waypoint and POI types: a type is a POI category name of the
// map (matched by its position in the POI query's category list) or one of
// the six colour names of the waypoint symbols, in English or Russian. Every
// comparison is exact.
#include <QString>

// The map icon of a POI category; 0 for anything else.
int GetCategoryMapIconId(const QString& name);
// The small icon of a type: by category, else by colour, else 665.
int GetCategoryIconId(const QString& name);
// The symbol bitmap of a type: 653 for none, by category, else by colour, else 653.
int GetCategoryBitmapId(const QString& name);
// The colour picture of a colour name; 653 for anything else.
int GetSpecialCategoryIconId(const QString& name);
// The colour name of a colour picture; "Blue" / "Синий" for any other id.
QString GetSpecialCategoryNameEn(int id);
QString GetSpecialCategoryNameRu(int id);
