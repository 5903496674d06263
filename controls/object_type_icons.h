#pragma once
// Image ids of waypoint and POI types: a type is a POI category name of the
// map (matched by its position in the POI query's category list) or one of
// the six colour names of the waypoint symbols, in English or Russian.
#include <QString>

// The small icon of a type: by category, else by colour, else 665.
int GetCategoryIconId(const QString& name);
// The symbol bitmap of a type: 653 for none, by category, else by colour, else 653.
int GetCategoryBitmapId(const QString& name);
