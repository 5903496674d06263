#include "kernel/doc/owner_list.h"

#include <cstring>

#include "kernel/api/result_codes.h"

namespace {

constexpr uint16_t kPointerSize = sizeof(CZXS_Object*);

} // namespace

int CZXS_OwnerList::Create()
{
    if (m_members)
        return 1;
    auto members = std::make_unique<CFixedCollect>(kPointerSize);
    if (members->Allocate(12, 8) == 0)
        return 0;
    m_members = std::move(members);
    m_count = 0;
    return 1;
}

void CZXS_OwnerList::Release()
{
    m_members.reset();
    m_count = 0;
}

CZXS_Object* CZXS_OwnerList::At(uint32_t index) const
{
    if (!m_members)
        return nullptr;
    const uint8_t* slot = m_members->Item(index);
    if (slot == nullptr)
        return nullptr;
    CZXS_Object* object = nullptr;
    std::memcpy(&object, slot, sizeof object);
    return object;
}

int CZXS_OwnerList::Add(CZXS_Object* object)
{
    if (object == nullptr)
        return 0;
    if (!m_members) {
        object->SetError(ZXS_KERR_NOSOURCE);
        return 0;
    }
    uint8_t slot[kPointerSize];
    std::memcpy(slot, &object, sizeof object);
    if (m_members->Append(slot) < 0 || m_count == UINT16_MAX) {
        object->SetError(m_members->GetError());
        return 0;
    }
    ++m_count;
    return 1;
}

int CZXS_OwnerList::Remove(CZXS_Object* object)
{
    if (object == nullptr)
        return 0;
    if (!m_members) {
        object->SetError(ZXS_KERR_NOSOURCE);
        return 0;
    }
    for (uint32_t i = 0; i < m_members->Count(); ++i) {
        if (At(i) == object) {
            m_members->RemoveAt(i, 1);
            --m_count;
            return 1;
        }
    }
    object->SetError(ZXS_KERR_NOTFOUND);
    return 0;
}

int CZXS_OwnerList::Notify(const std::function<bool(CZXS_Object*)>& notify) const
{
    if (!m_members)
        return 0;
    for (uint32_t i = 0; i < m_members->Count(); ++i) {
        if (!notify(At(i)))
            return 1;
    }
    return 0;
}
