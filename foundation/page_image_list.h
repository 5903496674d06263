#pragma once
// Sort-direction pictures in a list's column header: a blank picture on every
// column and an up or down triangle on the column the list is sorted by.
#include <QIcon>
#include <QPointer>
#include <functional>
#include <vector>

class QTreeWidget;

// The pictures a header can show, all of one size.
class CImageList {
public:
    explicit CImageList(int iconSize)
        : m_iconSize(iconSize)
    {
    }
    int IconSize() const { return m_iconSize; }
    int Count() const { return static_cast<int>(m_icons.size()); }
    // Adds a picture, `maskColour` (0xRRGGBB) transparent; returns its index.
    int AddMasked(const QImage& image, uint32_t maskColour);
    QIcon Icon(int index) const;

private:
    int m_iconSize;
    std::vector<QIcon> m_icons;
};

struct SortState {
    int column = -1; // -1: none
    int state = 0; // 0 unsorted, 1 ascending picture, 2 descending picture
};

class CPageImageList {
public:
    CPageImageList() = default;
    ~CPageImageList();
    CPageImageList(const CPageImageList&) = delete;
    CPageImageList& operator=(const CPageImageList&) = delete;

    // Returns the index of the blank picture, or -1.
    int Create(QTreeWidget* list, SortState* sortState, CImageList* imageList = nullptr, int baseIndex = -1);
    void Release();

    CImageList* ImageList() const { return m_imageList; }
    int SortedColumn() const { return m_sortedColumn; }

private:
    QPointer<QTreeWidget> m_list;
    CImageList* m_imageList = nullptr;
    std::unique_ptr<CImageList> m_ownedImageList;
    int m_baseIndex = 0;
    SortState* m_sortState = nullptr;
    int m_sortedColumn = -1;
};

// The drawing library's cache of bitmaps made from stored images, emptied when
// a page lets its header pictures go. The draw tool installs it.
void SetCachedBitmapReleaser(std::function<void()> releaser);

// Picture ids: blank, up and down triangles, for 16 and 32 pixel icons.
enum : int {
    IDB_SORT_BLANK_16 = 13335,
    IDB_SORT_UP_16 = 13336,
    IDB_SORT_DOWN_16 = 13337,
    IDB_SORT_BLANK_32 = 13338,
    IDB_SORT_UP_32 = 13339,
    IDB_SORT_DOWN_32 = 13340,
};
