#pragma once
// Helpers the search and waypoint pages share: the object list of POI results
// (columns, category icons, remembered layout), saving and restoring a list's
// column layout, the bilingual result-count texts, the combo box of the four
// route points, and the contacts application.
#include "kernel/api/types.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class CImageList;
class QComboBox;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// A list's column layout: the column order (n values), then the widths (n values).
using ColumnLayout = std::vector<int32_t>;
// The object list's layout and the waypoint page's, kept in the settings file.
inline ColumnLayout g_poiColumns;
inline ColumnLayout g_waypointColumns;

// The small images a list's rows show, by index; the image list must outlive the list.
void SetSmallImageList(QTreeWidget* list, const CImageList* images);
// Gives a row the image of that index in its list's small images.
void SetItemImage(QTreeWidget* list, QTreeWidgetItem* item, int image);
int GetItemImage(const QTreeWidgetItem* item);

// The object list: eight columns (type, name, address, phone, phone/fax,
// fax, zip code and an empty one), full-row selection, the 53 category icons
// and the remembered layout of g_poiColumns.
void SetupObjectList(QTreeWidget* list, CImageList& images);
// The 53 category images in category-index order.
void AddCategoryIcons(CImageList& images);

// 1 when saved, 0 when the list has no header.
int SaveListColumns(ColumnLayout& layout, QTreeWidget* list);
// 1 when applied. A layout that does not fit the list (another column count,
// or an order that is not each column once) is emptied, and the list keeps
// its own widths.
int RestoreListColumns(ColumnLayout& layout, QTreeWidget* list);

// The count texts in the interface language; a count of -1 gives an empty text.
QString HouseCountText(int count, bool noHouseNumber);
QString ObjectCountText(int count);
// Sets the window's text to the count text, put into `format`'s "%s" when given.
void ShowHouseCountText(int count, QWidget* window, bool noHouseNumber, const QString* format = nullptr);
void ShowObjectCountText(int count, QWidget* window, const QString* format = nullptr);

// The captions of route points 0 to 3, each with its number as item data;
// the selection stays, or becomes the finish when there was none.
void FillRouteStationCombo(QComboBox* combo);

// Adds a line of a list of found names or houses: the name, then the house
// number when there is one; the map object's id as its data.
void AddFoundLine(QListWidget* list, const QString& street, const QString& house, int32_t objectId);
// The middle of a map object's box on the current map; none when the box
// cannot be read.
std::optional<ZXS_Point> ObjectMiddle(int32_t objectId);

// Starts the contacts application, or tells the user that it cannot be started.
void OpenAddressBook();
