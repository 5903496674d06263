#include "traffic/roz_transport.h"

#include "platform/file_writer.h"
#include "platform/local_time.h"
#include "platform/paths.h"
#include "traffic/jam_context_file.h"
#include "traffic/roz_command_log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <system_error>

namespace {

constexpr size_t kReadSize = 2048;
constexpr int kEmptyReadsBeforeReopen = 100;
constexpr int kReopenAttempts = 5;
// Receiver messages are kept for the user, up to this size.
constexpr qint64 kMaxMessagesFile = 1 << 20;

uint64_t Now() { return platform::LocalTimeToFileTime(platform::GetLocalTime()); }

QString TwoDigits(int value) { return QString::number(value).rightJustified(2, QLatin1Char('0')); }

QString MessagesPath()
{
    return platform::DevicePathToLocal(QStringLiteral("\\Program Files\\Veltrak\\messages.txt"));
}

void AppendMessage(std::span<const uint8_t> bytes)
{
    const QString path = MessagesPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.size() > kMaxMessagesFile || !file.open(QIODevice::Append))
        return;
    file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    file.write("\r\n", 2);
}

QByteArray ReadFile(const QString& path, qint64 limit)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(limit) : QByteArray();
}

std::span<const uint8_t> Bytes(const QByteArray& b)
{
    return { reinterpret_cast<const uint8_t*>(b.constData()), size_t(b.size()) };
}

} // namespace

QString RozContextPath()
{
    return platform::DevicePathToLocal(QStringLiteral("\\My Documents\\JamVelRoz.jvu"));
}

CRozTransport::~CRozTransport() { Close(); }

bool CRozTransport::OpenPort()
{
    if (m_portName.isEmpty() || m_baud == 0)
        return false;
    // The receiver always speaks at 19200 baud; the configured value only
    // decides whether the port is opened afresh.
    return m_port.Open(m_portName, kBaud, false);
}

void CRozTransport::LoadContext()
{
    const QByteArray bytes = ReadFile(RozContextPath(), kJamContextHeaderSize + kJamCellCount + 1);
    const auto fileTime = ContextFileJamTime(Bytes(bytes));
    if (!fileTime || (m_cells && m_jamTime.load() >= *fileTime))
        return;
    const auto context = ParseContextFile(Bytes(bytes));
    if (!context)
        return;
    m_status = context->status;
    if (context->cells) {
        m_cells = context->cells;
        m_jamTime = context->jamTime;
    }
}

JamStatus CRozTransport::Open(const QString& configuration)
{
    const qsizetype lineFeed = configuration.indexOf(QLatin1Char('\n'));
    const QString name = configuration.left(lineFeed);
    if (name.size() >= 7)
        return JAM_E_INVALIDARG;
    int baud = kBaud;
    if (lineFeed >= 0) {
        bool ok = false;
        const QString field = configuration.mid(lineFeed + 1);
        const int value = field.toInt(&ok);
        if (ok && !field.isEmpty()
            && std::all_of(field.begin(), field.end(), [](QChar c) { return c.isDigit(); }))
            baud = value;
    }
    std::lock_guard lifecycle(m_lifecycle);
    JamStatus result = JAM_OK;
    {
        platform::CSLock lock(m_lock);
        if (baud != m_baud || name != m_portName) {
            m_baud = baud;
            m_portName = name;
            m_port.Close();
        }
        if (m_readerAlive) {
            const JamStatus reopened = m_port.IsOpen() || OpenPort() ? JAM_OK : JAM_E_PORT;
            SetLastStatus(reopened);
            return reopened;
        }
        LoadContext();
        if (!OpenPort()) {
            result = JAM_E_PORT;
        } else {
            if (m_reader.joinable())
                m_reader.join(); // one that has ended: it takes the lock no more
            m_stop.Reset();
            m_running = true;
            try {
                m_reader = std::thread(&CRozTransport::Reader, this);
                m_readerAlive = true;
                SetLastStatus(JAM_E_NO_NEW_DATA);
            } catch (const std::system_error&) {
                m_running = false;
                result = JAM_E_THREAD;
            }
        }
    }
    if (result != JAM_OK) {
        Stop();
        SetLastStatus(result);
    }
    return result;
}

JamStatus CRozTransport::Reconnect()
{
    platform::CSLock lock(m_lock);
    m_port.Close();
    const JamStatus result = !m_readerAlive || OpenPort() ? JAM_OK : JAM_E_PORT;
    SetLastStatus(result);
    return result;
}

JamStatus CRozTransport::Close()
{
    std::lock_guard lifecycle(m_lifecycle);
    Stop();
    SetLastStatus(JAM_E_NOT_OPEN);
    return JAM_OK;
}

void CRozTransport::Stop()
{
    {
        platform::CSLock lock(m_lock);
        m_running = false;
        m_port.Close();
    }
    m_stop.Set(); // the reader leaves its wait at once
    if (m_reader.joinable())
        m_reader.join();
    m_parser.Reset();
}

JamStatus CRozTransport::SaveJam(const QString& path, uint64_t* jamTime)
{
    platform::CSLock lock(m_lock);
    m_jamPath = path;
    const JamStatus result = CJamCellTransport::SaveJam(path, jamTime);
    // Under the same lock: a context the reader saves after this is a newer one.
    if (result == JAM_OK)
        QFile::remove(RozContextPath());
    return result;
}

JamStatus CRozTransport::SaveContext(const QString& path, bool raw)
{
    platform::CSLock lock(m_lock);
    if (!m_status)
        return JAM_E_NO_NEW_DATA;
    JamContext context;
    context.jamTime = m_jamTime.load();
    context.portName = m_portName;
    context.status = *m_status;
    context.cells = m_cells;
    // Jam-file content goes through the cell table of the map last saved for.
    std::optional<JamCellTable> table;
    if (!raw && m_cells) {
        table = JamCellTable::Load(JamCellTablePath(m_jamPath));
        if (!table)
            return JAM_E_JAM_FILE;
    }
    const QByteArray bytes = BuildContextFile(context, raw, table ? &*table : nullptr);
    return platform::WriteFileAtomically(
               QFile::encodeName(path).toStdString(), bytes.constData(), size_t(bytes.size()))
        ? JAM_OK
        : JAM_E_JAM_FILE;
}

JamStatus CRozTransport::Refresh()
{
    platform::CSLock lock(m_lock);
    if (m_cells)
        return JAM_OK;
    if (m_port.IsOpen() && m_status) {
        if (!m_status->inZone)
            return JAM_E_OUT_OF_ZONE;
        if (m_status->batteryPercent < 10)
            return JAM_E_LOW_BATTERY;
    }
    return LastStatus();
}

JamStatus CRozTransport::GetStatusText(QString& text, int size, uint32_t flags)
{
    platform::CSLock lock(m_lock);
    JamStatusText out(text, size);
    AppendCommonStatusText(out, flags);
    const uint32_t language = flags & JAM_TEXT_LANGUAGE_MASK;
    if (!(flags & JAM_TEXT_RECEIVER) || !out.HasRoom() || language > 1)
        return JAM_OK;
    if (!m_status) {
        out.Add(language == 0 ? QStringLiteral("Context is empty.\r\n")
                              : QStringLiteral("Контекст не загружен.\r\n"));
        return JAM_OK;
    }
    const auto when = platform::FileTimeToLocalTime(m_status->time).value_or(platform::LocalTime {});
    out.Add((language == 0 ? QStringLiteral("Sign. ") : QStringLiteral("Сигн. "))
        + QString::number(m_status->inZone)
        + (language == 0 ? QStringLiteral(", bat. ") : QStringLiteral(", бат. "))
        + QString::number(m_status->batteryPercent) + QStringLiteral(" (") + TwoDigits(when.hour) + u':'
        + TwoDigits(when.minute) + u':' + TwoDigits(when.second) + u' ' + TwoDigits(when.day) + u'/'
        + TwoDigits(when.month) + u'/' + TwoDigits(when.year) + QStringLiteral(")\r\n"));
    return JAM_OK;
}

void CRozTransport::Reply(uint8_t byte)
{
    platform::CSLock lock(m_lock);
    // A reply that cannot be written is lost; the receiver asks again.
    if (m_port.IsOpen())
        m_port.Write(&byte, 1, 100);
    if (byte == REPLY_REJECTED)
        SetLastStatus(JAM_E_BAD_COMMAND);
}

bool CRozTransport::TakeStatus(const RozFrame& frame)
{
    const auto status = ParseRozStatus(frame.bytes, Now());
    if (!status)
        return false;
    {
        platform::CSLock lock(m_lock);
        m_status = status;
    }
    SaveContext(RozContextPath(), true);
    return true;
}

bool CRozTransport::TakeMessage(const RozFrame& frame)
{
    if (frame.bytes[0] != 2)
        return true; // private and control messages are acknowledged only
    if (!RozFrameParser::IsJamPacket(frame.bytes)) {
        AppendMessage(frame.bytes);
        return true;
    }
    const auto cells = DecodeRozJamPacket(frame.bytes);
    if (!cells)
        return false;
    {
        platform::CSLock lock(m_lock);
        m_cells = cells;
        m_jamTime = Now();
    }
    SaveContext(RozContextPath(), true);
    return true;
}

void CRozTransport::Handle(const RozFrame& frame)
{
    CRozCommandLog* log = g_rozCommandLog.get();
    if (log)
        log->Begin(frame.bytes);
    bool accepted = false;
    switch (frame.kind) {
    case RozFrame::Kind::Status:
        accepted = TakeStatus(frame);
        if (accepted) {
            Reply(REPLY_STATUS);
            Reply(REPLY_STATUS);
            SetLastStatus(JAM_E_NO_NEW_DATA);
        } else {
            SetLastStatus(JAM_E_BAD_COMMAND);
        }
        break;
    case RozFrame::Kind::Message:
        accepted = TakeMessage(frame);
        Reply(accepted ? REPLY_ACCEPTED : REPLY_REJECTED);
        break;
    case RozFrame::Kind::BadChecksum:
    case RozFrame::Kind::MessageDropped:
        Reply(REPLY_REJECTED);
        break;
    case RozFrame::Kind::StatusDropped:
        break; // a status cut short is dropped without a word
    }
    if (log)
        log->End(accepted);
}

void CRozTransport::Supervise(ssize_t received)
{
    if (received > 0) {
        m_emptyReads = 0;
        m_reopenCountdown = 0;
        return;
    }
    ++m_emptyReads;
    if (m_reopenCountdown == 0) {
        if (m_emptyReads > kEmptyReadsBeforeReopen) {
            m_emptyReads = 0;
            m_reopenCountdown = kReopenAttempts;
        }
    } else if (m_emptyReads > 1) {
        // A receiver silent for long may have lost the line: open it afresh.
        --m_reopenCountdown;
        m_emptyReads = 0;
        platform::CSLock lock(m_lock);
        m_port.Close();
        OpenPort();
    }
}

void CRozTransport::Reader()
{
    Read();
    platform::CSLock lock(m_lock);
    m_readerAlive = false;
}

void CRozTransport::Read()
{
    {
        platform::CSLock lock(m_lock);
        if (!m_port.IsOpen())
            return;
    }
    m_parser.Reset();
    m_emptyReads = 0;
    m_reopenCountdown = 0;
    uint8_t buffer[kReadSize];
    while (m_running) {
        bool open;
        {
            platform::CSLock lock(m_lock);
            open = m_port.IsOpen() || (m_running && OpenPort());
        }
        if (!open) {
            m_stop.Wait(kReopenPeriodMs);
            continue;
        }
        if (m_stop.Wait(kReadPeriodMs))
            break;
        ssize_t received;
        {
            platform::CSLock lock(m_lock);
            received = m_port.IsOpen() ? m_port.Read(buffer, sizeof buffer) : 0;
            if (received < 0)
                m_port.Close(); // the device went away: opened afresh next turn
        }
        if (received < 0)
            continue;
        Supervise(received);
        m_parser.Feed({ buffer, size_t(received) }, [this](const RozFrame& frame) { Handle(frame); });
    }
}
