#include "foundation/page_image_list.h"

#include "foundation/resource_dll.h"
#include "foundation/screen_metrics.h"

#include <QBitmap>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QPixmap>
#include <QTreeWidget>
#include <mutex>

namespace {

std::mutex g_releaserMutex;
std::function<void()> g_cachedBitmapReleaser;

QImage loadBitmap(int id)
{
    QString folder = LoadResourceLibrary(ResourceLibraryNameForScreen());
    if (folder.isEmpty())
        folder = ProgramResourceFolder();
    return QImage(QDir(folder).filePath(QStringLiteral("%1.bmp").arg(id)));
}

} // namespace

int CImageList::AddMasked(const QImage& image, uint32_t maskColour)
{
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setMask(QBitmap::fromImage(image.createMaskFromColor(0xFF000000u | maskColour, Qt::MaskInColor)));
    m_icons.emplace_back(pixmap);
    return Count() - 1;
}

QIcon CImageList::Icon(int index) const
{
    return index >= 0 && index < Count() ? m_icons[size_t(index)] : QIcon();
}

void SetCachedBitmapReleaser(std::function<void()> releaser)
{
    std::lock_guard lock(g_releaserMutex);
    g_cachedBitmapReleaser = std::move(releaser);
}

CPageImageList::~CPageImageList() { Release(); }

int CPageImageList::Create(QTreeWidget* list, SortState* sortState, CImageList* imageList, int baseIndex)
{
    if (m_list || m_imageList || !list)
        return -1;
    bool owned = false;
    if (!imageList) {
        const int size = GetIconSizeForResolution();
        if (size == 0)
            return -1;
        m_ownedImageList = std::make_unique<CImageList>(size);
        imageList = m_ownedImageList.get();
        owned = true;
    }
    m_imageList = imageList;
    m_list = list;
    m_baseIndex = 0;
    m_sortedColumn = -1;

    int result = baseIndex;
    if (owned || baseIndex < 0) {
        int first = 0;
        if (imageList->IconSize() == 16)
            first = IDB_SORT_BLANK_16;
        else if (imageList->IconSize() == 32)
            first = IDB_SORT_BLANK_32;
        result = -1;
        for (int id = first; first && id < first + 3; ++id) {
            const QImage image = loadBitmap(id);
            const int index = image.isNull() ? -1 : imageList->AddMasked(image, 0xFF00FF);
            if (id == first)
                result = index;
        }
    }
    m_baseIndex = result;

    const int columns = list->columnCount();
    m_sortState = sortState;
    if (sortState) {
        if (sortState->column > columns - 1)
            *sortState = SortState {};
        m_sortedColumn = sortState->state == 0 ? -1 : sortState->column;
    }
    QTreeWidgetItem* header = list->headerItem();
    for (int column = columns - 1; column >= 0; --column) {
        const int offset = column == m_sortedColumn && sortState ? sortState->state : 0;
        header->setIcon(column, imageList->Icon(m_baseIndex + offset));
    }
    return result;
}

void CPageImageList::Release()
{
    if (m_list && m_ownedImageList) {
        QTreeWidgetItem* header = m_list->headerItem();
        for (int column = 0; column < m_list->columnCount(); ++column)
            header->setIcon(column, QIcon());
    }
    m_ownedImageList.reset();
    m_list = nullptr;
    m_imageList = nullptr;
    std::function<void()> releaser;
    {
        std::lock_guard lock(g_releaserMutex);
        releaser = g_cachedBitmapReleaser;
    }
    if (releaser)
        releaser();
}
