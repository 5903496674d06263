#include "kernel/doc/poi_query.h"

#include <array>

#include "kernel/doc/tzx_doc.h"
#include "kernel/render/coords.h"

void CZXS_PoiQuery::Init(const CZXS_Coords* view, const CZXS_TzxDoc* doc)
{
    Clear();
    if (view == nullptr || doc == nullptr)
        return;
    m_view = view;
    m_doc = doc;
    std::array<int32_t, 4> box {};
    if (view->GetGeoBox(doc->Transform(), &doc->Header(), box) != 0)
        SetBox({ box[0], box[1], box[2], box[3] });
}

bool CZXS_PoiQuery::Position(int32_t& x, int32_t& y) const
{
    if (m_record == nullptr)
        return false;
    x = 0;
    y = 0;
    ZXS_ScreenPoint p;
    if (m_view != nullptr
        && m_view->GeoToScreenAngles(
               m_doc->Transform(), CZXS_PoiSet::Longitude(m_record), CZXS_PoiSet::Latitude(m_record), p)
            != 0) {
        x = p.x;
        y = p.y;
    }
    return true;
}

void CZXS_PoiQuery::Clear()
{
    m_sets.clear();
    m_set = 0;
    m_record = nullptr;
    m_boxValid = false;
    m_view = nullptr;
    m_doc = nullptr;
}

void CZXS_PoiQuery::SetBox(const Box& box)
{
    m_box = box;
    m_boxValid = true;
}

bool CZXS_PoiQuery::InBox(const uint8_t* record) const
{
    if (!m_boxValid)
        return true;
    const int32_t lon = CZXS_PoiSet::Longitude(record);
    const int32_t lat = CZXS_PoiSet::Latitude(record);
    return m_box.leastLongitude <= lon && lon <= m_box.greatestLongitude && m_box.leastLatitude <= lat
        && lat <= m_box.greatestLatitude;
}

int CZXS_PoiQuery::First(const CZXS_PoiStore& store)
{
    std::optional<CZXS_PoiStore::SetList> sets = store.Sets();
    m_sets = sets ? std::move(*sets) : CZXS_PoiStore::SetList();
    m_set = 0;
    if (!sets) {
        m_record = nullptr;
        return -1;
    }
    m_record = m_sets.empty() ? nullptr : m_sets[0]->FirstRecord();
    if (m_record != nullptr && InBox(m_record))
        return 1;
    return Next();
}

int CZXS_PoiQuery::Next()
{
    for (;;) {
        if (m_record != nullptr)
            m_record = m_sets[m_set]->NextRecord(m_record);
        while (m_record == nullptr) {
            if (m_set + 1 >= m_sets.size()) {
                m_set = m_sets.size();
                return 0;
            }
            m_record = m_sets[++m_set]->FirstRecord();
        }
        if (InBox(m_record))
            return 1;
    }
}

uint16_t CZXS_PoiQuery::CategoryValue() const
{
    return CZXS_PoiStore::CategoryRow(m_record != nullptr ? CZXS_PoiSet::Category(m_record) : 0).symbol;
}
