#pragma once
// The column sort of the settings pages' lists: a header tap cycles its
// column through unsorted, ascending and descending, the header pictures
// show which, and the choice is kept in the list's g_listStates record.
#include "foundation/page_image_list.h"

#include <functional>

class QTreeWidget;

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

private:
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
