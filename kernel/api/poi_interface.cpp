#include "kernel/api/poi_interface.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "kernel/api/app_handle.h"
#include "kernel/api/map_geo.h"
#include "kernel/api/result_codes.h"
#include "kernel/doc/application.h"
#include "kernel/doc/code_page.h"
#include "kernel/doc/little_endian.h"
#include "kernel/doc/poi_query.h"

namespace {

constexpr int kKindText = 7;
constexpr int kKindBytes = 8;

const uint8_t* Record(const CZXS_PoiHandle* handle)
{
    return handle != nullptr && handle->pQuery != nullptr ? handle->pQuery->Record() : nullptr;
}

const uint8_t* RecordEnd(const uint8_t* record) { return record + CZXS_PoiSet::RecordLength(record); }

const uint8_t* FirstAttribute(const uint8_t* record)
{
    const uint8_t* p = CZXS_PoiSet::Name(record) + CZXS_PoiSet::NameLength(record);
    return p < RecordEnd(record) ? p : nullptr;
}

// The current attribute when it lies inside the current record with its type.
const uint8_t* Attribute(const CZXS_PoiHandle* handle)
{
    const uint8_t* record = Record(handle);
    const auto* p = static_cast<const uint8_t*>(handle != nullptr ? handle->pAttribute : nullptr);
    if (record == nullptr || p == nullptr)
        return nullptr;
    const uint8_t* first = FirstAttribute(record);
    if (first == nullptr || p < first || RecordEnd(record) - p < 2)
        return nullptr;
    return p;
}

uint16_t AttributeType(const uint8_t* attribute) { return ZXS_Le16(attribute); }

int Kind(uint16_t type) { return type < kPoiAttributeTypeCount ? g_poiAttributeTypes[type].kind : 0; }

const uint8_t* NextAttribute(const uint8_t* attribute, const uint8_t* end)
{
    const int kind = Kind(AttributeType(attribute));
    const uint8_t* next = nullptr;
    if (kind == kKindText && end - attribute >= 3)
        next = attribute + 3 + attribute[2];
    else if (kind == kKindBytes && end - attribute >= 4)
        next = attribute + 4 + ZXS_Le16(attribute + 2);
    return next != nullptr && next < end ? next : nullptr;
}

int32_t CopyOut(std::string_view text, char* buffer, int32_t length)
{
    if (buffer == nullptr || length < 1)
        return ZXS_ERR_PARAM;
    const size_t n = std::min(text.size(), static_cast<size_t>(length - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
    return text.empty() ? ZXS_ERR_NODATA : ZXS_OK;
}

int32_t CopyOut(std::u16string_view text, char16_t* buffer, int32_t length)
{
    if (buffer == nullptr || length < 1)
        return ZXS_ERR_PARAM;
    const size_t n = std::min(text.size(), static_cast<size_t>(length - 1));
    std::copy_n(text.data(), n, buffer);
    buffer[n] = 0;
    return text.empty() ? ZXS_ERR_NODATA : ZXS_OK;
}

// The text of the record or attribute in the set's code page, widened.
int32_t CopyOutWide(const CZXS_PoiHandle* handle, std::string_view text, char16_t* buffer, int32_t length)
{
    const int codePage = handle->pQuery->Set() != nullptr ? handle->pQuery->Set()->CodePage() : 0;
    try {
        return CopyOut(CZXS_CodePage::ToWide(codePage, text), buffer, length);
    } catch (const std::bad_alloc&) {
        return ZXS_ERR_MEMORY;
    }
}

// Texts of the kernel's own tables, stored wide: their 8-bit form is Windows-1251.
int32_t CopyOutTable(const char16_t* text, char* buffer, int32_t length)
{
    try {
        return CopyOut(CZXS_CodePage::FromWide(0, text), buffer, length);
    } catch (const std::bad_alloc&) {
        return ZXS_ERR_MEMORY;
    }
}

std::string_view NameOf(const uint8_t* record)
{
    return { reinterpret_cast<const char*>(CZXS_PoiSet::Name(record)), CZXS_PoiSet::NameLength(record) };
}

// The text of a kind-7 attribute, or false.
bool AttributeText(const CZXS_PoiHandle* handle, std::string_view& text)
{
    const uint8_t* a = Attribute(handle);
    if (a == nullptr || Kind(AttributeType(a)) != kKindText)
        return false;
    const uint8_t* end = RecordEnd(Record(handle));
    if (end - a < 3 || end - a - 3 < a[2])
        return false;
    text = { reinterpret_cast<const char*>(a + 3), a[2] };
    return true;
}

// The attribute's row of the type table, or null.
const ZXS_PoiAttributeType* AttributeRow(const CZXS_PoiHandle* handle)
{
    const uint8_t* a = Attribute(handle);
    if (a == nullptr || AttributeType(a) >= kPoiAttributeTypeCount)
        return nullptr;
    return &g_poiAttributeTypes[AttributeType(a)];
}

int32_t Walked(CZXS_PoiHandle* handle, int found)
{
    const uint8_t* record = found > 0 ? handle->pQuery->Record() : nullptr;
    handle->pAttribute = record != nullptr ? FirstAttribute(record) : nullptr;
    if (found < 0)
        return ZXS_ERR_MEMORY;
    return record != nullptr ? ZXS_OK : ZXS_ERR_NODATA;
}

} // namespace

void ZXS_PoiCreate(CZXS_PoiHandle* handle)
{
    if (handle == nullptr)
        return;
    handle->pQuery = new (std::nothrow) CZXS_PoiQuery;
    handle->pAttribute = nullptr;
}

void ZXS_PoiDestroy(CZXS_PoiHandle* handle)
{
    if (handle == nullptr)
        return;
    std::unique_ptr<CZXS_PoiQuery> query(handle->pQuery);
    handle->pQuery = nullptr;
    handle->pAttribute = nullptr;
}

int32_t ZXS_PoiQueryGeo(CZXS_PoiHandle* handle, double leastLongitude, double greatestLongitude,
    double leastLatitude, double greatestLatitude)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (!(leastLongitude < greatestLongitude) || !(leastLatitude < greatestLatitude))
        return ZXS_ERR_PARAM;
    handle->pQuery->SetBox(
        { CZXS_PoiSet::RadiansToAngle(leastLongitude), CZXS_PoiSet::RadiansToAngle(leastLatitude),
            CZXS_PoiSet::RadiansToAngle(greatestLongitude), CZXS_PoiSet::RadiansToAngle(greatestLatitude) });
    return ZXS_OK;
}

int32_t ZXS_PoiQueryRect(CZXS_PoiHandle* handle, const CZXS_MapHandle* map, const ZXS_Rect* rect)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (map == nullptr || rect == nullptr)
        return ZXS_ERR_PARAM;
    double lon1 = 0;
    double lat1 = 0;
    double lon2 = 0;
    double lat2 = 0;
    if (const int32_t code = ZXS_MapToGeo(map, rect->left, rect->top, &lon1, &lat1); code != ZXS_OK)
        return code;
    if (const int32_t code = ZXS_MapToGeo(map, rect->right, rect->bottom, &lon2, &lat2); code != ZXS_OK)
        return code;
    handle->pQuery->SetBox({ CZXS_PoiSet::RadiansToAngle(lon1), CZXS_PoiSet::RadiansToAngle(lat2),
        CZXS_PoiSet::RadiansToAngle(lon2), CZXS_PoiSet::RadiansToAngle(lat1) });
    return ZXS_OK;
}

int32_t ZXS_PoiFirst(CZXS_PoiHandle* handle)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    CApplication* app = ZXSg_pApplication;
    if (app == nullptr) {
        handle->pQuery->Clear();
        handle->pAttribute = nullptr;
        return ZXS_ERR_NODATA;
    }
    return Walked(handle, handle->pQuery->First(app->Pois()));
}

int32_t ZXS_PoiNext(CZXS_PoiHandle* handle)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    return Walked(handle, handle->pQuery->Next());
}

int32_t ZXS_PoiGetGeoPos(
    const CZXS_PoiHandle* handle, const CZXS_MapHandle* map, double* longitude, double* latitude)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (map == nullptr || longitude == nullptr || latitude == nullptr)
        return ZXS_ERR_PARAM;
    const uint8_t* record = Record(handle);
    if (record == nullptr)
        return ZXS_ERR_NODATA;
    *longitude = CZXS_PoiSet::AngleToRadians(CZXS_PoiSet::Longitude(record));
    *latitude = CZXS_PoiSet::AngleToRadians(CZXS_PoiSet::Latitude(record));
    return ZXS_OK;
}

int32_t ZXS_PoiGetMapPos(const CZXS_PoiHandle* handle, const CZXS_MapHandle* map, ZXS_Point* point)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (map == nullptr || point == nullptr)
        return ZXS_ERR_PARAM;
    const uint8_t* record = Record(handle);
    if (record == nullptr)
        return ZXS_ERR_NODATA;
    return ZXS_GeoToMap(map, CZXS_PoiSet::AngleToRadians(CZXS_PoiSet::Longitude(record)),
        CZXS_PoiSet::AngleToRadians(CZXS_PoiSet::Latitude(record)), point);
}

int32_t ZXS_PoiGetNameA(const CZXS_PoiHandle* handle, char* buffer, int32_t length)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    const uint8_t* record = Record(handle);
    if (record == nullptr)
        return ZXS_ERR_NODATA;
    return CopyOut(NameOf(record), buffer, length);
}

int32_t ZXS_PoiGetNameW(const CZXS_PoiHandle* handle, char16_t* buffer, int32_t length)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    const uint8_t* record = Record(handle);
    if (record == nullptr)
        return ZXS_ERR_NODATA;
    return CopyOutWide(handle, NameOf(record), buffer, length);
}

int32_t ZXS_PoiGetCategoryCode(const CZXS_PoiHandle* handle)
{
    const uint8_t* record = Record(handle);
    return record != nullptr ? CZXS_PoiSet::Category(record) : 0;
}

int32_t ZXS_PoiGetCategoryA(const CZXS_PoiHandle* handle, char* buffer, int32_t length)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    const uint8_t* record = Record(handle);
    if (record == nullptr)
        return ZXS_ERR_NODATA;
    return CopyOutTable(CZXS_PoiStore::CategoryRow(CZXS_PoiSet::Category(record)).name, buffer, length);
}

int32_t ZXS_PoiGetCategoryW(const CZXS_PoiHandle* handle, char16_t* buffer, int32_t length)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    const uint8_t* record = Record(handle);
    if (record == nullptr)
        return ZXS_ERR_NODATA;
    return CopyOut(CZXS_PoiStore::CategoryRow(CZXS_PoiSet::Category(record)).name, buffer, length);
}

int32_t ZXS_PoiGetAttrType(const CZXS_PoiHandle* handle)
{
    const uint8_t* a = Attribute(handle);
    return a != nullptr && AttributeType(a) < kPoiAttributeTypeCount ? AttributeType(a) : 0;
}

int32_t ZXS_PoiAdvanceAttr(CZXS_PoiHandle* handle)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    const uint8_t* a = Attribute(handle);
    if (a == nullptr) {
        handle->pAttribute = nullptr;
        return ZXS_ERR_NODATA;
    }
    handle->pAttribute = NextAttribute(a, RecordEnd(Record(handle)));
    return handle->pAttribute != nullptr ? ZXS_OK : ZXS_ERR_NODATA;
}

int32_t ZXS_PoiGetAttrTextA(const CZXS_PoiHandle* handle, char* buffer, int32_t length)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    std::string_view text;
    if (!AttributeText(handle, text))
        return ZXS_ERR_NODATA;
    return CopyOut(text, buffer, length);
}

int32_t ZXS_PoiGetAttrTextW(const CZXS_PoiHandle* handle, char16_t* buffer, int32_t length)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    std::string_view text;
    if (!AttributeText(handle, text))
        return ZXS_ERR_NODATA;
    return CopyOutWide(handle, text, buffer, length);
}

int32_t ZXS_PoiGetAttrLabelA(const CZXS_PoiHandle* handle, char* buffer, int32_t length)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    const ZXS_PoiAttributeType* row = AttributeRow(handle);
    return row != nullptr ? CopyOutTable(row->label, buffer, length) : ZXS_ERR_NODATA;
}

int32_t ZXS_PoiGetAttrLabelW(const CZXS_PoiHandle* handle, char16_t* buffer, int32_t length)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    const ZXS_PoiAttributeType* row = AttributeRow(handle);
    return row != nullptr ? CopyOut(row->label, buffer, length) : ZXS_ERR_NODATA;
}

int32_t ZXS_PoiGetAttrTypeNameA(const CZXS_PoiHandle* handle, char* buffer, int32_t length)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    const ZXS_PoiAttributeType* row = AttributeRow(handle);
    return row != nullptr ? CopyOutTable(row->name, buffer, length) : ZXS_ERR_NODATA;
}

int32_t ZXS_PoiGetAttrTypeNameW(const CZXS_PoiHandle* handle, char16_t* buffer, int32_t length)
{
    if (handle == nullptr || handle->pQuery == nullptr)
        return ZXS_ERR_NOHANDLE;
    const ZXS_PoiAttributeType* row = AttributeRow(handle);
    return row != nullptr ? CopyOut(row->name, buffer, length) : ZXS_ERR_NODATA;
}
