#include "kernel/api/map_query.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "kernel/api/result_codes.h"
#include "kernel/doc/app_doc_manager.h"
#include "kernel/doc/code_page.h"
#include "kernel/doc/doc_queries.h"
#include "kernel/doc/object_cursor.h"
#include "kernel/doc/point_collector.h"
#include "kernel/doc/segment.h"
#include "kernel/doc/tzx_doc.h"
#include "kernel/render/view.h"

namespace {

constexpr int32_t kNoCoordinate = 0x8000000;
constexpr size_t kMaxPattern = 256;

const CZXS_TzxDoc* DocOf(const CZXS_MapHandle* map)
{
    return map != nullptr && map->pDoc != nullptr ? &map->pDoc->Map() : nullptr;
}

bool HasHeader(const CZXS_TzxDoc* doc) { return doc != nullptr && doc->Header().HasMagic(); }

int32_t LinkOrName(const CZXS_TzxDoc& doc, int32_t object, int32_t layer, bool ownOnly)
{
    if (object < 0 || object >= static_cast<int32_t>(doc.Objects().Count()))
        return -1;
    if (layer < 0)
        layer = doc.LayerOfObject(object);
    const CZXS_LayerDesc desc = doc.GetLayerDesc(layer);
    if (layer < 0 || !desc)
        return -1;
    const CZXS_ObjectRecord record = doc.Object(static_cast<uint32_t>(object));
    const bool linked = (desc.Flags() & CZXS_LayerDesc::kLinked) != 0;
    if (ownOnly)
        return linked && record.NameId() != ZXS_NO_OBJECT ? record.NameId() : -1;
    if (linked)
        return record.LinkId() < ZXS_NO_OBJECT ? record.LinkId() : -1;
    return record.NameId() != ZXS_NO_OBJECT ? record.NameId() : -1;
}

void CopyText(const std::string& text, char* buffer, int32_t length)
{
    const size_t n = std::min(text.size(), static_cast<size_t>(length - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
}

int32_t Translate(int code)
{
    switch (code) {
    case 0:
        return ZXS_OK;
    case 3:
        return ZXS_ERR_PARAM;
    case 160:
        return ZXS_ERR_MEMORY;
    case 29:
        return ZXS_ERR_NODATA;
    default:
        return ZXS_ERR_FAIL;
    }
}

size_t WideLength(const char16_t* text)
{
    size_t n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}

std::string Narrow(const CZXS_TzxDoc& doc, const char16_t* text)
{
    return CZXS_CodePage::FromWide(doc.Header().U8(CZXS_TzxHeader::kCodePage),
        std::u16string_view(text, WideLength(text)), '.', kMaxPattern + 1);
}

void Widen(const CZXS_TzxDoc* doc, const char* text, char16_t* buffer, int32_t length)
{
    const int codePage = doc != nullptr ? doc->Header().U8(CZXS_TzxHeader::kCodePage) : 0;
    const std::u16string wide = CZXS_CodePage::ToWide(codePage, text, static_cast<size_t>(length - 1));
    std::copy(wide.begin(), wide.end(), buffer);
    buffer[wide.size()] = 0;
}

} // namespace

int32_t ZXS_MapGetBounds(const CZXS_MapHandle* map, ZXS_Rect* rect)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (rect == nullptr)
        return ZXS_ERR_PARAM;
    if (!HasHeader(doc))
        return ZXS_ERR_FAIL;
    const CZXS_TzxHeader& h = doc->Header();
    rect->left = h.I32(CZXS_TzxHeader::kLeft);
    rect->right = h.I32(CZXS_TzxHeader::kRight);
    rect->top = h.I32(CZXS_TzxHeader::kTop);
    rect->bottom = h.I32(CZXS_TzxHeader::kBottom);
    return ZXS_OK;
}

int32_t ZXS_MapGetCenter(const CZXS_MapHandle* map, ZXS_Point* point)
{
    ZXS_Rect bounds;
    const int32_t code = ZXS_MapGetBounds(map, &bounds);
    if (point == nullptr)
        return ZXS_ERR_PARAM;
    if (code != ZXS_OK) {
        *point = { kNoCoordinate, kNoCoordinate };
        return code;
    }
    point->x = static_cast<int32_t>((int64_t { bounds.left } + bounds.right) / 2);
    point->y = static_cast<int32_t>((int64_t { bounds.top } + bounds.bottom) / 2);
    return ZXS_OK;
}

double ZXS_MapUnitsToMeters(const CZXS_MapHandle* map, double units)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (!HasHeader(doc) || doc->Resolution() == 0)
        return -1.0;
    return units * 10000.0 / doc->Resolution();
}

double ZXS_MetersToMapUnits(const CZXS_MapHandle* map, double meters)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (!HasHeader(doc) || doc->Resolution() == 0)
        return -1.0;
    return doc->Resolution() * meters * 0.0001;
}

int32_t ZXS_MapGetBackgroundColor(
    const CZXS_MapHandle* map, uint8_t* red, uint8_t* green, uint8_t* blue, uint8_t* extra)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (red == nullptr || green == nullptr || blue == nullptr || extra == nullptr)
        return ZXS_ERR_PARAM;
    if (!HasHeader(doc))
        return ZXS_ERR_FAIL;
    const CZXS_TzxHeader& h = doc->Header();
    *red = h.U8(CZXS_TzxHeader::kBackground);
    *green = h.U8(CZXS_TzxHeader::kBackground + 1);
    *blue = h.U8(CZXS_TzxHeader::kBackground + 2);
    *extra = h.U8(CZXS_TzxHeader::kGrey);
    return ZXS_OK;
}

int32_t ZXS_MapHasRoadGraph(const CZXS_MapHandle* map)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    return doc->RoadGraph().EdgeCount() == 0 ? ZXS_ERR_RANGE : ZXS_OK;
}

int32_t ZXS_MapGetStyle(const CZXS_MapHandle* map, int32_t group, int32_t n, uint8_t* record)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr || map->pOwner == nullptr || !HasHeader(doc))
        return ZXS_ERR_ALREADY;
    if (record == nullptr || group < 0 || group > 255 || n < 0)
        return ZXS_ERR_PARAM;
    // A restyled alias answers with its own styles.
    const CZXS_StyleTable& styles = map->pDoc->Styles();
    int32_t seen = 0;
    for (uint32_t i = 0; i < styles.Count(); ++i) {
        const CZXS_StyleRecord style = styles.At(i);
        if (style.Group() != group || seen++ != n)
            continue;
        std::memcpy(record, style.Bytes(), CZXS_StyleRecord::kSize);
        const uint32_t scale = CZXS_StyleTable::ScaleOfThreshold(style.Threshold(), doc->Resolution());
        for (int k = 0; k < 4; ++k)
            record[k] = static_cast<uint8_t>(scale >> (8 * k));
        return ZXS_OK;
    }
    return ZXS_ERR_NODATA;
}

uint32_t ZXS_PassageColorGet(int32_t index) { return ZXS_PassageColour(index); }

int32_t ZXS_ObjGetLayer(const CZXS_MapHandle* map, int32_t object)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return -1;
    const int32_t layer = doc->LayerOfObject(object);
    return layer >= 0 && doc->GetLayerDesc(layer) ? layer : -1;
}

int32_t ZXS_LayerFindA(const CZXS_MapHandle* map, const char* name)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr || name == nullptr)
        return -1;
    return doc->FindLayerByName(name);
}

int32_t ZXS_LayerGetStyleGroup(const CZXS_MapHandle* map, int32_t layer)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr || layer < 0 || layer >= 256)
        return -1;
    const CZXS_LayerDesc desc = doc->GetLayerDesc(layer);
    return desc ? desc.StyleGroup() : -1;
}

int32_t ZXS_LayerGetRoadIndex(const CZXS_MapHandle* map, int32_t layer)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (!HasHeader(doc))
        return -1;
    const int32_t first = doc->Header().I16(CZXS_TzxHeader::kFirstRoadLayer);
    const int32_t count = doc->Header().I16(CZXS_TzxHeader::kRoadLayerCount);
    if (first == -1 || layer < first || layer >= first + count)
        return -1;
    return layer - first;
}

int32_t ZXS_LayerGetNameA(
    const CZXS_MapHandle* map, int32_t layer, int32_t language, char* buffer, int32_t length)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (buffer == nullptr || length < 1)
        return ZXS_ERR_PARAM;
    buffer[0] = 0;
    if (layer < 0 || layer >= doc->LayerCount() || (language != 0 && language != 1))
        return ZXS_ERR_PARAM;
    std::string word;
    if (!doc->GetLayerName(layer, word, language == 0 ? 0 : 2) || word.empty())
        return ZXS_ERR_NODATA;
    CopyText(word, buffer, length);
    return ZXS_OK;
}

int32_t ZXS_LayerGetNameW(
    const CZXS_MapHandle* map, int32_t layer, int32_t language, char16_t* buffer, int32_t length)
{
    if (buffer == nullptr || length < 1)
        return ZXS_ERR_PARAM;
    std::vector<char> work(static_cast<size_t>(length) + 1);
    const int32_t code = ZXS_LayerGetNameA(map, layer, language, work.data(), length + 1);
    if (code != ZXS_OK)
        work[0] = 0;
    Widen(DocOf(map), work.data(), buffer, length);
    return code;
}

int32_t ZXS_MapFindObjectAt(
    const CZXS_MapHandle* map, int32_t first, int32_t scale, int32_t x, int32_t y, int32_t radius)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return -1;
    return CZXS_DocQueries::FindObjectAt(*doc, first, scale, x, y, radius, 0x7fffffff);
}

int32_t ZXS_MapFindNearestObject(const CZXS_MapHandle* map, int32_t x, int32_t y, int32_t radius,
    int32_t heading, int32_t* linkId, int32_t* directions)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (linkId == nullptr || heading < -1 || heading > 3599)
        return ZXS_ERR_PARAM;
    CZXS_ObjectCursor cursor(doc);
    if (cursor.SnapToRoad(x, y, radius, heading, ZXS_NO_OBJECT, false) == 0)
        return ZXS_ERR_NOTFOUND;
    *linkId = cursor.Record().LinkId();
    if (directions != nullptr)
        *directions = cursor.DirectionMask();
    return ZXS_OK;
}

int32_t ZXS_ObjGetNearestSegment(
    const CZXS_MapHandle* map, const ZXS_Point* point, int32_t linkId, int32_t* segment)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (point == nullptr || segment == nullptr)
        return ZXS_ERR_PARAM;
    CZXS_ObjectCursor cursor(doc);
    if (cursor.FindRoadByLink(linkId) == 0)
        return ZXS_ERR_NOTFOUND;
    CZXS_PointCollector points;
    ZXS_Rect bounds;
    if (cursor.CollectPoints(&points, &bounds, false) == 0 || points.Count() < 2)
        return ZXS_ERR_KERNEL;
    double best = 1e100;
    uint32_t at = 0;
    for (uint32_t part = 0; part < points.PartCount(); ++part) {
        const uint32_t n = points.PartLength(part);
        for (uint32_t i = at; i + 1 < at + n; ++i) {
            const CZXS_Segment s(points.At(i), points.At(i + 1));
            const double d = s.DistanceTo(*point);
            if (d < best) {
                best = d;
                segment[0] = points.At(i).x;
                segment[1] = points.At(i).y;
                segment[2] = points.At(i + 1).x;
                segment[3] = points.At(i + 1).y;
            }
        }
        at += n;
    }
    return best < 1e100 ? ZXS_OK : ZXS_ERR_KERNEL;
}

int32_t ZXS_MapFitObject(const CZXS_MapHandle* map, int32_t object, int32_t pointOffset, int32_t layer,
    int32_t width, int32_t height, int32_t* scale, ZXS_Point* centre)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr || object < 0 || scale == nullptr || centre == nullptr)
        return -1;
    return CZXS_DocQueries::FitObject(*doc, object, pointOffset, layer, width, height, scale, centre);
}

int32_t ZXS_ObjGetNearestPoint(const CZXS_MapHandle* map, int32_t object, int32_t pointOffset, int32_t layer,
    const ZXS_Point* point, ZXS_Point* nearest)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (object < 0 || point == nullptr || nearest == nullptr)
        return ZXS_ERR_PARAM;
    return CZXS_DocQueries::NearestPoint(*doc, object, pointOffset, layer, *point, nearest) != 0
        ? ZXS_OK
        : ZXS_ERR_FAIL;
}

int32_t ZXS_ObjGetRect(const CZXS_MapHandle* map, int32_t object, int32_t pointOffset, int32_t layer,
    ZXS_Rect* rect, int32_t wholeFeature)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (object < 0 || rect == nullptr)
        return ZXS_ERR_PARAM;
    return CZXS_DocQueries::ObjectRect(*doc, object, pointOffset, layer, rect, wholeFeature != 0) != 0
        ? ZXS_OK
        : ZXS_ERR_FAIL;
}

int32_t ZXS_ObjGetLinkId(const CZXS_MapHandle* map, int32_t object, int32_t layer)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    return doc != nullptr && object != -1 ? LinkOrName(*doc, object, layer, false) : -1;
}

int32_t ZXS_ObjGetOwnNameId(const CZXS_MapHandle* map, int32_t object, int32_t layer)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    return doc != nullptr && object != -1 ? LinkOrName(*doc, object, layer, true) : -1;
}

int32_t ZXS_ObjGetNameId(const CZXS_MapHandle* map, int32_t nameId)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr || nameId == -1)
        return -1;
    const int32_t value = doc->Names().PrefixValue(nameId);
    return value == ZXS_NO_OBJECT || value == 0xffffff ? -1 : value;
}

int32_t ZXS_ObjGetNameA(const CZXS_MapHandle* map, int32_t nameId, int32_t language, char* buffer,
    int32_t length, int32_t withKind)
{
    if (buffer == nullptr || length < 1)
        return ZXS_ERR_PARAM;
    buffer[0] = 0;
    buffer[length - 1] = 0;
    if ((language != 0 && language != 1) || nameId == -1)
        return ZXS_ERR_PARAM;
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    const std::string name = doc->Names().GetName(nameId, language == 0 ? 0 : 2);
    if (name.empty())
        return ZXS_ERR_NODATA;
    CopyText(name, buffer, length);
    const size_t used = std::strlen(buffer);
    const size_t room = static_cast<size_t>(length) - 1 - used;
    if (withKind != 0 && room > 3) {
        const std::string kind = doc->Names().GetKindWord(nameId, language == 0 ? 1 : 3);
        if (!kind.empty() && kind.size() < room - 1) {
            buffer[used] = ' ';
            std::memcpy(buffer + used + 1, kind.data(), kind.size());
            buffer[used + 1 + kind.size()] = 0;
        }
    }
    return ZXS_OK;
}

int32_t ZXS_ObjGetNameW(const CZXS_MapHandle* map, int32_t nameId, int32_t language, char16_t* buffer,
    int32_t length, int32_t withKind)
{
    if (buffer == nullptr || length < 1)
        return ZXS_ERR_PARAM;
    std::vector<char> work(static_cast<size_t>(length) + 1, 0);
    const int32_t code = ZXS_ObjGetNameA(map, nameId, language, work.data(), length, withKind);
    if (code != ZXS_OK)
        work[0] = 0;
    Widen(DocOf(map), work.data(), buffer, length);
    return code;
}

int32_t ZXS_MapEnumObjectsByNameA(const CZXS_MapHandle* map, int32_t start, const char* pattern,
    const char* secondPattern, ZXS_EnumCallback callback, void* user, int32_t oncePerLayer)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (pattern == nullptr || *pattern == 0 || std::strlen(pattern) > kMaxPattern || callback == nullptr
        || (secondPattern != nullptr && std::strlen(secondPattern) > kMaxPattern))
        return ZXS_ERR_PARAM;
    std::optional<std::string_view> second;
    if (secondPattern != nullptr)
        second = secondPattern;
    const int code = doc->Names().FindByName(
        *doc, doc->Objects(), start, std::string_view(pattern), second,
        [&](int32_t object, int32_t offset, int32_t layer) { return callback(user, object, offset, layer); },
        oncePerLayer != 0);
    return Translate(code);
}

int32_t ZXS_MapEnumObjectsByNameW(const CZXS_MapHandle* map, int32_t start, const char16_t* pattern,
    const char16_t* secondPattern, ZXS_EnumCallback callback, void* user, int32_t oncePerLayer)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (pattern == nullptr || WideLength(pattern) >= kMaxPattern + 2
        || (secondPattern != nullptr && WideLength(secondPattern) >= kMaxPattern + 2))
        return ZXS_ERR_PARAM;
    const std::string first = Narrow(*doc, pattern);
    const std::string second = secondPattern != nullptr ? Narrow(*doc, secondPattern) : std::string();
    return ZXS_MapEnumObjectsByNameA(map, start, first.c_str(),
        secondPattern != nullptr ? second.c_str() : nullptr, callback, user, oncePerLayer);
}

int32_t ZXS_MapEnumLinkedA(
    const CZXS_MapHandle* map, int32_t linkId, const char* pattern, ZXS_EnumCallback callback, void* user)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (linkId == -1 || pattern == nullptr || *pattern == 0 || std::strlen(pattern) > kMaxPattern
        || callback == nullptr)
        return ZXS_ERR_PARAM;
    const int code = doc->Names().LinkedByLinkSearch(*doc, doc->Objects(), linkId, std::string_view(pattern),
        [&](int32_t object, int32_t offset, int32_t layer) { return callback(user, object, offset, layer); });
    return Translate(code);
}

int32_t ZXS_MapEnumLinkedW(
    const CZXS_MapHandle* map, int32_t linkId, const char16_t* pattern, ZXS_EnumCallback callback, void* user)
{
    const CZXS_TzxDoc* doc = DocOf(map);
    if (doc == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (pattern == nullptr || WideLength(pattern) >= kMaxPattern + 2)
        return ZXS_ERR_PARAM;
    const std::string narrow = Narrow(*doc, pattern);
    return ZXS_MapEnumLinkedA(map, linkId, narrow.c_str(), callback, user);
}
