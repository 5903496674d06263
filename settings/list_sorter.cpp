#include "settings/list_sorter.h"

#include "drawlib/screen_draw_tool.h"

#include <QTreeWidget>
#include <algorithm>

int RowData(const QTreeWidgetItem* row) { return row ? row->data(0, Qt::UserRole).toInt() : -1; }

QTreeWidgetItem* FindRowByData(QTreeWidget* list, int data)
{
    for (int i = 0; list && i < list->topLevelItemCount(); ++i) {
        if (RowData(list->topLevelItem(i)) == data)
            return list->topLevelItem(i);
    }
    return nullptr;
}

int CListSorter::Create(
    QTreeWidget* list, SortState* state, CImageList* images, Compare compare, int baseIndex)
{
    m_list = list;
    m_state = state;
    m_compare = std::move(compare);
    m_base = m_holder.Create(list, state, images, baseIndex);
    // Without a list of the page's own the holder keeps the sort pictures.
    m_images = images ? images : m_holder.ImageList();
    return m_base;
}

void CListSorter::ShowPictures()
{
    if (!m_list || !m_images || m_base < 0)
        return;
    QTreeWidgetItem* header = m_list->headerItem();
    for (int column = 0; column < m_list->columnCount(); ++column) {
        const int offset = m_state && column == m_state->column ? m_state->state : 0;
        header->setIcon(column, m_images->Icon(m_base + offset));
    }
}

bool CListSorter::Before(int a, int b, int column, int state) const
{
    if (state == 0 || a == b)
        return a < b;
    const int order = m_compare ? m_compare(a, b, column) : 0;
    return state == 2 ? order > 0 : order < 0;
}

void CListSorter::InsertSorted(QTreeWidgetItem* row)
{
    if (!m_list || !row)
        return;
    const bool sorted = m_state && m_state->column >= 0 && m_state->state != 0;
    int at = m_list->topLevelItemCount();
    if (sorted) {
        const int data = RowData(row);
        at = 0;
        for (int i = m_list->topLevelItemCount() - 1; i >= 0; --i) {
            const int other = RowData(m_list->topLevelItem(i));
            if (other == data || !Before(data, other, m_state->column, m_state->state)) {
                at = i + 1;
                break;
            }
        }
    }
    m_list->insertTopLevelItem(at, row);
}

void CListSorter::Sort(int column, int state)
{
    if (!m_list)
        return;
    std::vector<QTreeWidgetItem*> rows;
    while (m_list->topLevelItemCount() > 0)
        rows.push_back(m_list->takeTopLevelItem(0));
    std::stable_sort(rows.begin(), rows.end(), [&](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
        return Before(RowData(a), RowData(b), column, state);
    });
    for (QTreeWidgetItem* row : rows)
        m_list->addTopLevelItem(row);
    if (m_state)
        *m_state = SortState { state == 0 ? -1 : column, state };
    ShowPictures();
}

void CListSorter::OnColumnClick(int column)
{
    if (!m_list || column < 0 || column >= m_list->columnCount())
        return;
    const int before = m_state && m_state->column == column ? m_state->state : 0;
    Sort(column, (before + 1) % 3);
}

void CListSorter::Reapply()
{
    if (!m_state || m_state->column < 0 || !m_list || m_state->column >= m_list->columnCount())
        Sort(0, 0);
    else
        Sort(m_state->column, m_state->state);
}

void AddStoredPicture(CImageList& images, uint32_t imageId)
{
    const QImage* bitmap = g_drawTool ? g_drawTool->CreateHBITMAP(imageId) : nullptr;
    QImage blank(images.IconSize(), images.IconSize(), QImage::Format_RGB16);
    blank.fill(QColor(0xFF, 0x00, 0xFF));
    images.AddMasked(bitmap && !bitmap->isNull() ? *bitmap : blank, 0xFF00FF);
}
