#pragma once
// The column sort of the settings pages' lists: a header tap cycles its
// column through unsorted, ascending and descending, the header pictures
// show which, and the choice is kept in the list's g_listStates record.
#include "foundation/page_image_list.h"

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

class CListSorter {
public:
    // -1, 0 or 1 for two rows' item data by a column.
    using Compare = std::function<int(int a, int b, int column)>;

    // Shows the remembered state's pictures (the sort pictures are added to
    // `images` unless `baseIndex` names them already); returns the pictures' base index.
    int Create(QTreeWidget* list, SortState* state, CImageList* images, Compare compare, int baseIndex = -1);
    // A tap on a column's header.
    void OnColumnClick(int column);
    // Sorts again by the remembered state, after the list was filled.
    void Reapply();
    // Puts a new row where the sort in force gives it, without sorting the
    // other rows again: at the end of an unsorted list, else after the last
    // row it does not sort before (or its own entry's row).
    void InsertSorted(QTreeWidgetItem* row);

private:
    // Whether row data `a` goes before `b` in `state` by `column`.
    bool Before(int a, int b, int column, int state) const;
    void Sort(int column, int state);
    void ShowPictures();

    CPageImageList m_holder;
    QTreeWidget* m_list = nullptr;
    SortState* m_state = nullptr;
    CImageList* m_images = nullptr;
    Compare m_compare;
    int m_base = -1;
};

// A row's item data.
int RowData(const class QTreeWidgetItem* row);
// The row whose item data is `data`, or none.
class QTreeWidgetItem* FindRowByData(QTreeWidget* list, int data);

// Adds the stored picture `imageId` to a page's pictures, magenta
// transparent; a picture the store lacks adds a blank one, so that the
// indices after it stay.
void AddStoredPicture(CImageList& images, uint32_t imageId);
