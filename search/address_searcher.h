#pragma once
// The address searcher: which named map objects match a typed name (the name
// stage of the address search), which houses of a chosen street match a typed
// number (the house stage), and what the address of a map point is (the
// reverse lookup). It works synchronously on the caller's thread, on the
// current map of the map controller it is given, and keeps the lists those
// questions fill for the pages that read them. It has no lock: a thread other
// than the user-interface thread (the POI worker) uses a searcher of its own.
#include "kernel/api/map_query.h"

#include <QString>
#include <cstdint>
#include <vector>

class CMapController;

// One address found at a point.
struct CAddressEntry {
    QString text; // the name behind the object's link id: for a house its street
    QString layerCaption; // "[layer name]", empty when the layer has none
    QString ownName; // for a house its number; empty when the object has none
};

// One result of the name stage.
struct CNameEntry {
    QString text; // "name (parent)", or "name (---)" without a parent
    QString name; // the whole name without its kind word, as the house stage searches it
    int32_t isStreet = 0; // 1: from the street-names layer
    // The union of the boxes of a street's pieces, each grown by 300 map
    // units; for other names their own box grown so. Empty (right < left),
    // which no house meets, when the box cannot be read.
    ZXS_Rect bounds { 0, 0, -1, -1 };
    int32_t objectId = -1; // the first piece found
    int32_t parentNameId = -1; // the name in parentheses; -1 none
};

// One result of the house stage.
struct CHouseEntry {
    QString streetText;
    QString houseText;
    int32_t objectId = -1;
};

// A found object's identity while the address list is built.
struct CObjectKey {
    int16_t layer = -1;
    int32_t linkId = -1;
    int32_t ownNameId = -1;
};

class CAddressSearcher;

// The name stage's query: the caller fills the pattern, the searcher the rest.
struct CNameQuery {
    CAddressSearcher* searcher = nullptr;
    std::vector<CNameEntry>* names = nullptr;
    int16_t lastLayer = -1;
    int32_t lastLinkId = -1;
    int32_t lastObject = -1;
    int16_t count = 0;
    QString pattern;
};

// The house stage's query: the caller fills both patterns and the index of the
// chosen name entry (-1 for none).
struct CHouseQuery {
    CAddressSearcher* searcher = nullptr;
    std::vector<CHouseEntry>* houses = nullptr;
    const std::vector<CNameEntry>* names = nullptr;
    int32_t selectedIndex = -1;
    int16_t lastLayer = -1;
    int32_t lastLinkId = -1;
    int32_t lastOwnNameId = -1;
    int32_t lastObject = -1;
    int16_t count = 0;
    QString streetPattern;
    QString housePattern;
};

class CAddressSearcher {
public:
    // At most this many objects at a point, names and houses.
    static constexpr int kMaxObjectsAtPoint = 25;
    static constexpr int kMaxEntries = 1000;
    // The release map's capital: a street whose parents lead to it shows it and sorts first.
    static constexpr int32_t kCapitalNameId = 1483;

    CAddressSearcher() = default;
    virtual ~CAddressSearcher() = default;
    CAddressSearcher(const CAddressSearcher&) = delete;
    CAddressSearcher& operator=(const CAddressSearcher&) = delete;

    // Stores the controller whose map and scale the searches use; 0 for none.
    int SetMapView(CMapController* controller);
    CMapController* GetMapView() const { return m_controller; }

    // Up to 25 objects within four pixels of the point at the scale (map
    // units per 128 pixels; -1 the controller's scale); empties the address list.
    int FindObjectsAtPoint(int32_t x, int32_t y, int32_t scale);
    // One address entry per distinct (link id, own name id) of the found objects.
    void BuildAddressList();
    int FindAddressesAtPoint(int32_t x, int32_t y, int32_t scale);
    // The address of found object `index`; 0 when it yields none (no name, out
    // of range, or its key is in `keys` already).
    int GetObjectText(int index, CAddressEntry& entry, std::vector<CObjectKey>* keys = nullptr);
    // The address text of the last point searched: the last found object with
    // a name, its house number appended. 0 when none has one.
    int GetAddressText(QString& text, int32_t* object = nullptr);
    int GetAddressCount() const { return static_cast<int>(m_addresses.size()); }
    const CAddressEntry* GetAddressAt(int index) const;

    // The name stage: at most 1000 entries, capital first, streets before
    // other names, then by text. Returns 1.
    int FindNames(CNameQuery& query);
    // The house stage over the chosen street: at most 1000 houses by street,
    // number and text. 0 when the chosen index is outside the name list.
    int FindHouses(CHouseQuery& query);
    const std::vector<CNameEntry>& GetNameList() const { return m_names; }
    const std::vector<CHouseEntry>& GetHouseList() const { return m_houses; }
    const std::vector<int32_t>& GetFoundObjects() const { return m_found; }

    void SetLastInput(const QString& street, const QString& house);
    void GetLastInput(QString& street, QString& house) const;

    // The search radius at a scale: four pixels in map units, at least 4.
    static int32_t RadiusForScale(int32_t scale);

private:
    // The kernel's enumeration calls the query's searcher back through this.
    template <class Query, int32_t (CAddressSearcher::*On)(Query&, int32_t, int32_t, int32_t)>
    static int32_t Step(void* user, int32_t object, int32_t part, int32_t layer)
    {
        auto* query = static_cast<Query*>(user);
        return (query->searcher->*On)(*query, object, part, layer);
    }
    int32_t OnName(CNameQuery& query, int32_t object, int32_t part, int32_t layer);
    int32_t OnHouse(CHouseQuery& query, int32_t object, int32_t part, int32_t layer);
    // The parent shown for a name: the capital when the chain of parents
    // reaches it, else the name's own parent; -1 none.
    int32_t ShownParent(int32_t nameId) const;

    const CZXS_MapHandle* Map() const;
    int32_t CurrentScale() const;

    CMapController* m_controller = nullptr;
    std::vector<int32_t> m_found;
    std::vector<CAddressEntry> m_addresses;
    std::vector<CNameEntry> m_names;
    std::vector<CHouseEntry> m_houses;
    QString m_lastStreet;
    QString m_lastHouse;
};

// The name of a name id in the interface's stored form, with its kind word
// unless told otherwise; false when it cannot be read.
bool ReadMapName(const CZXS_MapHandle* map, int32_t nameId, QString& name, bool withKind = true);
