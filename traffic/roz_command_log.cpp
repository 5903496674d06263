#include "traffic/roz_command_log.h"

#include "platform/local_time.h"
#include "platform/paths.h"
#include "traffic/roz_frame_parser.h"

#include <QFile>

namespace {

const QString kTempName = QStringLiteral("temp.tmp");
constexpr int kMaxSequence = 999;

bool WriteWhole(const QString& path, std::span<const uint8_t> bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()))
        == qint64(bytes.size());
}

QString TwoDigits(int value) { return QString::number(value).rightJustified(2, QLatin1Char('0')); }

} // namespace

CRozCommandLog::CRozCommandLog(uint32_t flags)
    : m_flags(flags)
{
    if (m_flags == 0)
        return;
    // A capture that can be created tells that the folder is there and writable.
    const QString temp = Folder() + kTempName;
    m_enabled = WriteWhole(temp, {});
}

CRozCommandLog::~CRozCommandLog()
{
    if (m_enabled)
        QFile::remove(Folder() + kTempName);
}

QString CRozCommandLog::Folder() const
{
    return platform::DevicePathToLocal(QStringLiteral("\\My Documents\\Veltrak\\"));
}

void CRozCommandLog::Begin(std::span<const uint8_t> bytes)
{
    std::lock_guard lock(m_mutex);
    m_kind = RozFrameParser::IsJamPacket(bytes) ? 9 : (bytes.empty() ? 0 : bytes[0]);
    m_capturing = false;
    if (!m_enabled)
        return;
    const bool wanted = (m_kind == 9) ? (m_flags & (KEEP_ACCEPTED_JAM | CAPTURE_JAM)) != 0
                                      : (m_flags & (KEEP_ACCEPTED_OTHER | CAPTURE_OTHER)) != 0;
    if (wanted)
        m_capturing = WriteWhole(Folder() + kTempName, bytes);
}

void CRozCommandLog::End(bool accepted)
{
    std::lock_guard lock(m_mutex);
    const uint8_t kind = m_kind;
    m_kind = 0;
    if (!m_enabled || !m_capturing)
        return;
    m_capturing = false;
    const bool keep = !accepted || (kind == 9 && (m_flags & KEEP_ACCEPTED_JAM))
        || (kind != 9 && (m_flags & KEEP_ACCEPTED_OTHER));
    const QString temp = Folder() + kTempName;
    if (!keep)
        return;
    const platform::LocalTime now = platform::GetLocalTime();
    const QString stem = Folder() + TwoDigits(now.month) + TwoDigits(now.day) + u'_' + TwoDigits(now.hour)
        + TwoDigits(now.minute) + u'_' + TwoDigits(kind * 10 + (accepted ? 1 : 0));
    if (m_flags & NO_SEQUENCE) {
        const QString name = stem + QStringLiteral(".cmd");
        QFile::remove(name);
        QFile::rename(temp, name);
        return;
    }
    // The first free sequence number; when all are taken the last is replaced.
    for (int sequence = 0; sequence <= kMaxSequence; ++sequence) {
        const QString name = stem + u'_' + QString::number(sequence).rightJustified(3, QLatin1Char('0'))
            + QStringLiteral(".cmd");
        if (QFile::exists(name) && sequence < kMaxSequence)
            continue;
        QFile::remove(name);
        QFile::rename(temp, name);
        return;
    }
}
