#include "traffic/jam_schedule.h"

#include "foundation/language.h"
#include "foundation/resource_dll.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/local_time.h"
#include "platform/paths.h"
#include "traffic/jam_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr uint64_t kGoodShownMs = 15000;
constexpr char kStateSignature[]
    = "Orvantis Kestrin jsoiuerwo 8q379H((*jh iiweu8r83kjcnawie38uhefkasdhiiwq83rf%1";

} // namespace

uint64_t CJamSchedule::Now()
{
    const uint32_t tick = platform::GetTickCount();
    if (m_ticking)
        m_ticks += static_cast<uint32_t>(tick - m_lastTick);
    m_ticking = true;
    m_lastTick = tick;
    return m_ticks;
}

void CJamSchedule::Persist(uint8_t state)
{
    if (m_persisted == state)
        return;
    m_persisted = state;
    SaveJamScheduleState();
}

void CJamSchedule::OnSettingsChanged()
{
    platform::CSLock lock(m_lock);
    if (m_state == STATE_AWAITED)
        m_state = 0;
    m_intervalStart = g_jamSettings.downloadEnabled ? Now() : 0;
}

void CJamSchedule::RequestNow()
{
    platform::CSLock lock(m_lock);
    m_intervalStart = 0;
    m_state = STATE_AWAITED;
}

void CJamSchedule::OnJamReceived(bool success, const uint64_t* jamTime)
{
    platform::CSLock lock(m_lock);
    m_lastReceipt = Now();
    if (!success) {
        m_state = STATE_FAILED;
        m_intervalStart = m_lastReceipt;
        Persist(STATE_FAILED);
    }
    m_receivedMinute = -1;
    m_state |= STATE_RECEIVED;
    if (success && jamTime)
        if (const auto time = platform::FileTimeToLocalTime(*jamTime))
            m_receivedMinute = time->hour * 60 + time->minute;
}

void CJamSchedule::OnJamApplied(bool success)
{
    platform::CSLock lock(m_lock);
    if (!(m_state & STATE_RECEIVED))
        return;
    if (success) {
        m_state = m_intervalStart == 0 ? STATE_APPLIED | STATE_AWAITED : STATE_APPLIED;
    } else {
        m_state = STATE_FAILED;
        Persist(STATE_FAILED);
    }
}

bool CJamSchedule::Acknowledge(bool good)
{
    platform::CSLock lock(m_lock);
    if (!(m_state & STATE_APPLIED))
        return false;
    if (m_lastReceipt > m_intervalStart)
        m_intervalStart = m_lastReceipt;
    m_state = good ? STATE_GOOD : STATE_FAILED;
    m_lastReceipt = Now();
    const int32_t minute = good && m_receivedMinute >= 0 ? m_receivedMinute : m_dataMinute;
    if (m_state != m_persisted || minute != m_dataMinute) {
        m_persisted = m_state;
        m_dataMinute = minute;
        SaveJamScheduleState();
    }
    return true;
}

void CJamSchedule::Reset()
{
    platform::CSLock lock(m_lock);
    m_state = 0;
    if (m_dataMinute != -1) {
        m_dataMinute = -1;
        SaveJamScheduleState();
    }
}

void CJamSchedule::GetStatus(QString& text, int& flags, int& percent, int32_t& minute, uint32_t& colour)
{
    platform::CSLock lock(m_lock);
    if (m_persisted & (STATE_GOOD | STATE_FAILED))
        colour = m_persisted & STATE_GOOD ? kGoodColour : kFailedColour;
    const bool regular = g_jamSettings.downloadEnabled != 0;
    if (m_state == 0 && !(m_intervalStart != 0 && regular) && m_dataMinute < 0)
        return;
    if (m_state & STATE_AWAITED) {
        percent = 100;
        text = g_language == LANGUAGE_ENGLISH ? QStringLiteral(" Wait") : QStringLiteral("Ждите");
        flags |= STATUS_TEXT;
        return;
    }
    const uint64_t now = Now();
    if (regular && m_intervalStart != 0) {
        const uint64_t elapsed = now > m_intervalStart ? (now - m_intervalStart) / 1000 : 0;
        const uint64_t limit = uint64_t { g_jamSettings.periodMinutes } * 60 + 7;
        if (elapsed + 1 > limit) {
            m_state |= STATE_AWAITED;
            percent = 99;
        } else {
            percent = static_cast<int>(elapsed * 100 / limit);
        }
    }
    // A failure is shown once; a good download for fifteen seconds.
    if (m_state & STATE_FAILED)
        m_state = 0;
    if ((m_state & STATE_GOOD) && now - m_lastReceipt > kGoodShownMs)
        m_state = 0;
    if (m_dataMinute >= 0) {
        minute = m_dataMinute;
        flags |= STATUS_MINUTE | STATUS_TEXT;
        if (m_dataMinute != m_lastValue || text.isEmpty())
            text = QStringLiteral("%1:%2")
                       .arg(m_dataMinute / 60, 2, 10, QLatin1Char('0'))
                       .arg(m_dataMinute % 60, 2, 10, QLatin1Char('0'));
    }
}

void CJamSchedule::Fill(ValueDiagramFill& fill)
{
    GetStatus(m_text, fill.flags, fill.percent, fill.value, fill.restColour);
}

QString CJamSchedule::StateFilePath()
{
    return platform::DevicePathToLocal(QStringLiteral("/Program Files/Travenor Pro Voradu/Data/data.pid"));
}

bool CJamSchedule::SaveJamScheduleState()
{
    platform::CSLock lock(m_lock);
    const QString path = StateFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    platform::Archive archive;
    archive.WriteString(QString::fromLatin1(kStateSignature).arg(kProgramVersionNumber));
    archive.WriteInt32(m_dataMinute);
    archive.WriteUInt8(m_persisted);
    // Replaced whole: a failed write leaves the previous file.
    return archive.SaveToFile(QFile::encodeName(path).toStdString());
}

uint8_t CJamSchedule::GetState()
{
    platform::CSLock lock(m_lock);
    return m_state;
}

int32_t CJamSchedule::GetDataMinute()
{
    platform::CSLock lock(m_lock);
    return m_dataMinute;
}
