#include "search/address_searcher.h"

#include "foundation/string_helpers.h"
#include "nav/map_controller.h"

#include <algorithm>
#include <array>
#include <unordered_set>

namespace {

constexpr int kNameLength = 256;
constexpr int32_t kStreetBoxMargin = 300;
// A street piece shorter than this (the diagonal of its box, squared) is no street.
constexpr int64_t kLeastPieceExtentSquared = 8;
// Deeper chains of parents than any map has are taken as damage.
constexpr int kMaxParentDepth = 64;

const QString kStreetLayerPrefix = QStringLiteral("Назв.улиц");

QString FromBuffer(const std::array<char16_t, kNameLength>& buffer)
{
    return QString::fromUtf16(buffer.data());
}

bool ReadLayerName(const CZXS_MapHandle* map, int32_t layer, QString& name)
{
    std::array<char16_t, kNameLength> buffer {};
    if (ZXS_LayerGetNameW(map, layer, 0, buffer.data(), kNameLength) != 0)
        return false;
    name = FromBuffer(buffer);
    return true;
}

ZXS_Rect Grown(const ZXS_Rect& r, int32_t margin)
{
    return { r.left - margin, r.top - margin, r.right + margin, r.bottom + margin };
}

ZXS_Rect Union(const ZXS_Rect& a, const ZXS_Rect& b)
{
    return { std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
        std::max(a.bottom, b.bottom) };
}

bool Intersect(const ZXS_Rect& a, const ZXS_Rect& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom
        && a.left <= a.right && b.left <= b.right;
}

int Compare(const QString& a, const QString& b)
{
    // Code unit by code unit, as the program has always sorted its lists.
    return QStringView(a).compare(QStringView(b), Qt::CaseSensitive);
}

bool CompareNameMatches(const CNameEntry& a, const CNameEntry& b)
{
    const bool capitalA = a.parentNameId == CAddressSearcher::kCapitalNameId;
    const bool capitalB = b.parentNameId == CAddressSearcher::kCapitalNameId;
    if (capitalA != capitalB)
        return capitalA;
    if (a.isStreet != b.isStreet)
        return a.isStreet > b.isStreet;
    return Compare(a.text, b.text) < 0;
}

bool CompareHouseMatches(const CHouseEntry& a, const CHouseEntry& b)
{
    if (const int c = Compare(a.streetText, b.streetText); c != 0)
        return c < 0;
    const int numberA = StringToInt(a.houseText);
    const int numberB = StringToInt(b.houseText);
    if (numberA != numberB)
        return numberA < numberB;
    return Compare(a.houseText, b.houseText) < 0;
}

} // namespace

bool ReadMapName(const CZXS_MapHandle* map, int32_t nameId, QString& name, bool withKind)
{
    std::array<char16_t, kNameLength> buffer {};
    if (ZXS_ObjGetNameW(map, nameId, 0, buffer.data(), kNameLength, withKind ? 1 : 0) != 0)
        return false;
    name = FromBuffer(buffer);
    return true;
}

int CAddressSearcher::SetMapView(CMapController* controller)
{
    if (controller == nullptr)
        return 0;
    m_controller = controller;
    return 1;
}

const CZXS_MapHandle* CAddressSearcher::Map() const
{
    return m_controller != nullptr ? m_controller->GetMapSet().ActiveMap() : nullptr;
}

int32_t CAddressSearcher::CurrentScale() const
{
    return m_controller != nullptr ? m_controller->GetScale() : 0;
}

int32_t CAddressSearcher::RadiusForScale(int32_t scale)
{
    return std::max<int32_t>(4, static_cast<int32_t>(int64_t { scale } * 4 / 128));
}

int CAddressSearcher::FindObjectsAtPoint(int32_t x, int32_t y, int32_t scale)
{
    m_found.clear();
    m_addresses.clear();
    const CZXS_MapHandle* map = Map();
    if (scale == -1)
        scale = CurrentScale();
    const int32_t radius = RadiusForScale(scale);
    for (int32_t start = -1; static_cast<int>(m_found.size()) < kMaxObjectsAtPoint;) {
        const int32_t object = ZXS_MapFindObjectAt(map, start, scale, x, y, radius);
        if (object < 0)
            break;
        m_found.push_back(object);
        start = object + 1;
    }
    return 1;
}

int CAddressSearcher::GetObjectText(int index, CAddressEntry& entry, std::vector<CObjectKey>* keys)
{
    if (index < 0 || index >= static_cast<int>(m_found.size()))
        return 0;
    const CZXS_MapHandle* map = Map();
    const int32_t object = m_found[static_cast<size_t>(index)];
    const int32_t layer = ZXS_ObjGetLayer(map, object);
    const int32_t linkId = ZXS_ObjGetLinkId(map, object, -1);
    const int32_t ownId = ZXS_ObjGetOwnNameId(map, object, -1);
    if (linkId == -1)
        return 0;
    if (keys != nullptr) {
        const bool seen = std::any_of(keys->begin(), keys->end(),
            [&](const CObjectKey& k) { return k.linkId == linkId && k.ownNameId == ownId; });
        if (seen)
            return 0;
        keys->push_back({ static_cast<int16_t>(layer), linkId, ownId });
    }
    entry = CAddressEntry();
    if (ReadMapName(map, linkId, entry.text)) {
        QString own;
        if (ReadMapName(map, ownId, own))
            entry.ownName = own;
    }
    QString layerName;
    if (ReadLayerName(map, layer, layerName) && !layerName.isEmpty())
        entry.layerCaption = QStringLiteral("[%1]").arg(layerName);
    return 1;
}

void CAddressSearcher::BuildAddressList()
{
    m_addresses.clear();
    std::vector<CObjectKey> keys;
    for (int i = 0; i < static_cast<int>(m_found.size()); ++i) {
        CAddressEntry entry;
        if (GetObjectText(i, entry, &keys) != 0)
            m_addresses.push_back(std::move(entry));
    }
}

int CAddressSearcher::FindAddressesAtPoint(int32_t x, int32_t y, int32_t scale)
{
    FindObjectsAtPoint(x, y, scale);
    BuildAddressList();
    return 1;
}

int CAddressSearcher::GetAddressText(QString& text, int32_t* object)
{
    for (int i = static_cast<int>(m_found.size()) - 1; i >= 0; --i) {
        CAddressEntry entry;
        if (GetObjectText(i, entry) == 0)
            continue;
        text = entry.text + entry.ownName;
        if (object != nullptr)
            *object = m_found[static_cast<size_t>(i)];
        return 1;
    }
    return 0;
}

const CAddressEntry* CAddressSearcher::GetAddressAt(int index) const
{
    return index >= 0 && index < GetAddressCount() ? &m_addresses[static_cast<size_t>(index)] : nullptr;
}

// ------------------------------------------------------------------ name stage

int32_t CAddressSearcher::ShownParent(int32_t nameId) const
{
    const CZXS_MapHandle* map = Map();
    const int32_t parent = ZXS_ObjGetNameId(map, nameId);
    // A damaged names table may chain its parents in a circle: the walk ends
    // at a name seen before, as at the end of the chain.
    std::unordered_set<int32_t> seen;
    for (int32_t p = parent; p != -1 && static_cast<int>(seen.size()) < kMaxParentDepth;
         p = ZXS_ObjGetNameId(map, p)) {
        if (p == kCapitalNameId)
            return kCapitalNameId;
        if (!seen.insert(p).second)
            break;
    }
    return parent;
}

int32_t CAddressSearcher::OnName(CNameQuery& query, int32_t object, int32_t part, int32_t layer)
{
    if (query.count >= kMaxEntries)
        return 0;
    const CZXS_MapHandle* map = Map();
    const int32_t linkId = ZXS_ObjGetLinkId(map, object, -1);
    QString name;
    QString layerName;
    if (linkId == -1 || !ReadMapName(map, linkId, name) || !ReadLayerName(map, layer, layerName))
        return 1;
    const bool sameAsLast = layer == query.lastLayer && linkId == query.lastLinkId;
    CNameEntry entry;
    if (layerName.startsWith(kStreetLayerPrefix)) {
        ZXS_Rect box;
        if (ZXS_ObjGetRect(map, object, part, layer, &box, 0) != 0)
            return 1;
        // The extent of the piece, not the area of its box: a perfectly
        // straight street piece has a box of no area.
        const int64_t width = int64_t { box.right } - box.left;
        const int64_t height = int64_t { box.bottom } - box.top;
        if (width * width + height * height < kLeastPieceExtentSquared)
            return 1;
        box = Grown(box, kStreetBoxMargin);
        // The next piece of the street just listed widens its entry.
        if (sameAsLast && !query.names->empty()) {
            query.names->back().bounds = Union(query.names->back().bounds, box);
            return 1;
        }
        entry.isStreet = 1;
        entry.bounds = box;
    } else {
        if (sameAsLast)
            return 1;
        // Other names get their own box too, so that the house stage under
        // them tests something defined: a street of a map whose street-names
        // layer goes by another name still finds its houses.
        ZXS_Rect box;
        if (ZXS_ObjGetRect(map, object, part, layer, &box, 0) == 0)
            entry.bounds = Grown(box, kStreetBoxMargin);
    }
    const int32_t parent = ShownParent(linkId);
    QString parentName;
    const bool hasParent = parent != -1 && ReadMapName(map, parent, parentName);
    if (!ReadMapName(map, linkId, entry.name, false))
        entry.name = name;
    entry.text = name + (hasParent ? QStringLiteral(" (%1)").arg(parentName) : QStringLiteral(" (---)"));
    entry.objectId = object;
    entry.parentNameId = parent;
    query.names->push_back(std::move(entry));
    ++query.count;
    query.lastLayer = static_cast<int16_t>(layer);
    query.lastLinkId = linkId;
    query.lastObject = object;
    return 1;
}

int CAddressSearcher::FindNames(CNameQuery& query)
{
    m_names.clear();
    m_houses.clear();
    query.searcher = this;
    query.names = &m_names;
    query.count = 0;
    query.lastLayer = -1;
    query.lastLinkId = -1;
    const std::u16string pattern = query.pattern.toStdU16String();
    ZXS_MapEnumObjectsByNameW(
        Map(), -1, pattern.c_str(), nullptr, &Step<CNameQuery, &CAddressSearcher::OnName>, &query, 0);
    std::stable_sort(m_names.begin(), m_names.end(), CompareNameMatches);
    return 1;
}

// ------------------------------------------------------------------ house stage

int32_t CAddressSearcher::OnHouse(CHouseQuery& query, int32_t object, int32_t part, int32_t layer)
{
    if (query.count >= kMaxEntries)
        return 0;
    const CZXS_MapHandle* map = Map();
    const CNameEntry* selected
        = query.selectedIndex != -1 ? &(*query.names)[static_cast<size_t>(query.selectedIndex)] : nullptr;
    if (selected != nullptr) {
        ZXS_Rect box;
        if (ZXS_ObjGetRect(map, object, part, layer, &box, 0) != 0 || !Intersect(box, selected->bounds))
            return 1;
    }
    const int32_t linkId = ZXS_ObjGetLinkId(map, object, -1);
    const int32_t ownId = ZXS_ObjGetOwnNameId(map, object, -1);
    if (layer == query.lastLayer && ownId == query.lastOwnNameId && linkId == query.lastLinkId)
        return 1;
    query.lastLayer = static_cast<int16_t>(layer);
    query.lastLinkId = linkId;
    query.lastOwnNameId = ownId;
    query.lastObject = object;
    if (ownId == -1 || linkId == -1)
        return 1;
    QString street;
    QString house;
    const bool haveStreet = ReadMapName(map, linkId, street);
    const bool haveHouse = ReadMapName(map, ownId, house);
    if (selected != nullptr) {
        QString selectedStreet;
        ReadMapName(map, ZXS_ObjGetLinkId(map, selected->objectId, -1), selectedStreet);
        if (selectedStreet != street)
            return 1;
    }
    if (haveStreet && haveHouse) {
        query.houses->push_back({ street, house, object });
        ++query.count;
    }
    return 1;
}

int CAddressSearcher::FindHouses(CHouseQuery& query)
{
    m_houses.clear();
    query.searcher = this;
    query.houses = &m_houses;
    query.names = &m_names;
    query.count = 0;
    query.lastLayer = -1;
    query.lastLinkId = -1;
    query.lastOwnNameId = -1;
    if (query.selectedIndex < -1 || query.selectedIndex >= static_cast<int32_t>(m_names.size()))
        return 0;
    const std::u16string street = query.streetPattern.toStdU16String();
    const std::u16string house = query.housePattern.toStdU16String();
    ZXS_MapEnumObjectsByNameW(
        Map(), -1, street.c_str(), house.c_str(), &Step<CHouseQuery, &CAddressSearcher::OnHouse>, &query, 1);
    std::stable_sort(m_houses.begin(), m_houses.end(), CompareHouseMatches);
    return 1;
}

void CAddressSearcher::SetLastInput(const QString& street, const QString& house)
{
    m_lastStreet = street;
    m_lastHouse = house;
}

void CAddressSearcher::GetLastInput(QString& street, QString& house) const
{
    street = m_lastStreet;
    house = m_lastHouse;
}
