#pragma once
// Blinkers give screen elements a shared on/off rhythm, advanced once per
// drawn frame: an element draws itself only while its blinker is visible.
#include <cstdint>
#include <map>

class CScreenElement;

class CBlinker {
public:
    CBlinker(uint16_t onMs, uint16_t offMs)
        : m_on(onMs)
        , m_off(offMs)
    {
    }
    virtual ~CBlinker() = default;

    // The first call starts the rhythm (visible); later calls set the phase for
    // `now` and answer the number of whole periods since the start.
    virtual uint32_t Advance(uint32_t now);
    virtual void Reset();

    bool IsVisible() const { return m_visible != 0; }

private:
    uint32_t m_start = 0;
    // Apart from the start tick: the clock reads 0 once in every wrap.
    bool m_started = false;
    uint16_t m_on = 0;
    uint16_t m_off = 0;
    uint8_t m_visible = 1;
};

// One blinker per element (null is a valid key).
class CBlinkerList {
public:
    void Add(uint16_t onMs, uint16_t offMs, const CScreenElement* element);
    CBlinker* Find(const CScreenElement* element);
    void AdvanceAll(uint32_t now);

private:
    std::map<const CScreenElement*, CBlinker> m_blinkers;
};
