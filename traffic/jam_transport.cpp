#include "traffic/jam_transport.h"

#include "platform/local_time.h"

#include <QString>

namespace {

QString TwoDigits(int value) { return QString::number(value).rightJustified(2, QLatin1Char('0')); }

} // namespace

bool JamStatusText::Add(const QString& piece)
{
    if (m_stopped || m_text.size() + piece.size() > m_limit) {
        m_stopped = true;
        return false;
    }
    m_text += piece;
    return true;
}

void CJamTransportBase::AppendCommonStatusText(JamStatusText& out, uint32_t flags) const
{
    const uint32_t language = flags & JAM_TEXT_LANGUAGE_MASK;
    const bool words = language == 0 || language == 1;
    if (flags & (JAM_TEXT_TIME | JAM_TEXT_DATE)) {
        const uint64_t jamTime = m_jamTime.load();
        const auto when = jamTime != 0 ? platform::FileTimeToLocalTime(jamTime) : std::nullopt;
        if (!when) {
            if (words)
                out.Add(language == 0 ? QStringLiteral("Jam are not loaded.\r\n")
                                      : QStringLiteral("Пробки не загружены.\r\n"));
        } else {
            if (flags & JAM_TEXT_TIME)
                out.Add(TwoDigits(when->hour) + u':' + TwoDigits(when->minute) + u':'
                    + TwoDigits(when->second) + u' ');
            if (flags & JAM_TEXT_DATE)
                out.Add(TwoDigits(when->day) + u'/' + TwoDigits(when->month) + u'/' + TwoDigits(when->year)
                    + u' ');
            out.Add(QStringLiteral("\r\n"));
        }
    }
    if ((flags & JAM_TEXT_LAST_ERROR) && words) {
        const QString code = QString::number(static_cast<uint32_t>(m_lastStatus.load()), 16);
        out.Add((language == 0 ? QStringLiteral("Last error [") : QStringLiteral("Посл. ошибка [")) + code
            + QStringLiteral("]\r\n"));
    }
}

JamStatus CJamTransportBase::GetStatusText(QString& text, int size, uint32_t flags)
{
    JamStatusText out(text, size);
    AppendCommonStatusText(out, flags);
    return JAM_OK;
}

JamStatus CJamTransportBase::GetJamTime(uint64_t* jamTime)
{
    Lock();
    const uint64_t held = m_jamTime.load();
    if (held != 0 && jamTime)
        *jamTime = held;
    Unlock();
    return held != 0 ? JAM_OK : JAM_E_NO_NEW_DATA;
}

JamStatus CJamCellTransport::SaveJam(const QString& path, uint64_t* jamTime)
{
    Lock();
    JamStatus result = Refresh();
    if (JamSucceeded(result)) {
        if (!m_cells) {
            result = JAM_E_NO_NEW_DATA;
        } else {
            const auto table = JamCellTable::Load(JamCellTablePath(path));
            result = table ? WriteJamFile(path, *m_cells, *table) : JAM_E_JAM_FILE;
            if (JamSucceeded(result)) {
                if (jamTime)
                    *jamTime = m_jamTime.load();
                m_cells.reset();
                SetLastStatus(JAM_E_NO_NEW_DATA);
            } else {
                SetLastStatus(result);
            }
        }
    }
    Unlock();
    return result;
}

JamStatus CJamCellTransport::SaveContext(const QString&, bool) { return JAM_E_NOTIMPL; }
