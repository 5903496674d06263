#pragma once
// The traffic data as the user sees it, and its on-map indicator (diagram
// 14006): when the current download interval started, whether a download is
// awaited, whether the last jam picture arrived and was applied to the map,
// and the time of day of the jam data in force. The indicator draws a bar of
// the interval's progress and five characters: " Wait" while a download is
// awaited, else the data's time "hh:mm"; its background turns light green
// after a good download and light pink after a failure. The outcome is kept
// in the state file "data.pid" for programs outside this one.
//
// The map controller, its tick and the traffic callback (on the traffic
// worker's thread) drive it, the draw thread asks its status; every operation
// takes the lock. Times are milliseconds of a 64-bit count that follows the
// program's wrapping 32-bit tick, so that nothing sticks after 49.7 days.
#include "controls/value_diagram.h"
#include "platform/sync.h"

#include <QString>
#include <cstdint>

class CJamSchedule : public CValueDiagram {
public:
    enum : uint8_t {
        STATE_GOOD = 2,
        STATE_FAILED = 4,
        STATE_AWAITED = 8,
        STATE_APPLIED = 16,
        STATE_RECEIVED = 32,
    };
    enum : int { STATUS_BAR = 0x1, STATUS_MINUTE = 0x2, STATUS_TEXT = 0x4 };
    static constexpr uint32_t kGoodColour = 0xC3FFC3; // R C3, G FF, B C3
    static constexpr uint32_t kFailedColour = 0xC8C3FF; // R FF, G C3, B C8

    // The traffic settings were applied: a download no longer awaited, and
    // the interval starts now when regular downloading is on.
    void OnSettingsChanged();
    // A download was asked for now.
    void RequestNow();
    // The traffic manager saved a jam picture (with its time, a local file
    // time, when it carried one) or failed to.
    void OnJamReceived(bool success, const uint64_t* jamTime = nullptr);
    // The jam-file manager's apply pass ended.
    void OnJamApplied(bool success);
    // The controller has shown the applied jams (good) or the time it gave them
    // ran out; false when nothing was applied and awaiting this.
    bool Acknowledge(bool good);
    // The user deleted the jams.
    void Reset();

    // The indicator's status. The caller preloads flags (STATUS_BAR), percent
    // and colour; the text is rewritten when there is something new to show.
    virtual void GetStatus(QString& text, int& flags, int& percent, int32_t& minute, uint32_t& colour);

    // Writes the state file; false when it could not be written.
    bool SaveJamScheduleState();
    static QString StateFilePath();

    uint8_t GetState();
    int32_t GetDataMinute();
    // The lock the Jams page holds while it changes regular downloading.
    platform::CriticalSection& Lock() { return m_lock; }

protected:
    void Fill(ValueDiagramFill& fill) override;

private:
    uint64_t Now();
    void Persist(uint8_t state);

    platform::CriticalSection m_lock;
    uint8_t m_state = 0;
    uint8_t m_persisted = 0;
    uint64_t m_intervalStart = 0; // 0 none
    uint64_t m_lastReceipt = 0;
    int32_t m_dataMinute = -1;
    int32_t m_receivedMinute = -1;
    // The 64-bit count starts past 0, which means no time.
    uint64_t m_ticks = uint64_t { 1 } << 32;
    uint32_t m_lastTick = 0;
    bool m_ticking = false;
};
