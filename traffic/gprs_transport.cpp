#include "traffic/gprs_transport.h"

#include "platform/archive.h"
#include "platform/file_writer.h"
#include "platform/local_time.h"
#include "platform/paths.h"

#include <QFile>
#include <chrono>

namespace {

// The identifier as stored: its first word, when it is one that can go into a
// request line; anything else counts as no identifier.
std::string ReadIdentifier(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(4096);
    qsizetype begin = 0;
    while (begin < bytes.size() && QChar::isSpace(static_cast<unsigned char>(bytes[begin])))
        ++begin;
    qsizetype end = begin;
    while (end < bytes.size() && !QChar::isSpace(static_cast<unsigned char>(bytes[end])))
        ++end;
    std::string word = bytes.mid(begin, end - begin).toStdString();
    for (const char c : word)
        if (c < 0x21 || c > 0x7E)
            return {};
    return word.substr(0, 254);
}

bool IsSuccess(int status) { return status >= 200 && status <= 299; }

} // namespace

QString ProviderIdentifierPath()
{
    return platform::DevicePathToLocal(QStringLiteral("\\Program Files\\Travenor Pro\\guid.dll"));
}

CGprsTransport::CGprsTransport(
    const JamNetworkTimeouts& timeouts, std::shared_ptr<const platform::CancelSignal> cancel)
    : m_timeouts(timeouts)
    , m_cancel(std::move(cancel))
{
}

JamStatus CGprsTransport::Open(const QString& configuration)
{
    auto account = ParseProviderConfiguration(configuration);
    if (!account)
        return JAM_E_INVALIDARG;
    m_account = std::move(account);
    m_opened = true;
    SetLastStatus(JAM_E_NO_NEW_DATA);
    return JAM_OK;
}

JamStatus CGprsTransport::Close()
{
    m_opened = false;
    SetLastStatus(JAM_E_NOT_OPEN);
    return JAM_OK;
}

JamStatus CGprsTransport::Refresh()
{
    if (!m_opened || !m_account)
        return JAM_E_NOT_OPEN;
    const JamStatus result = Download();
    SetLastStatus(result);
    return result;
}

JamStatus CGprsTransport::Exchange(const std::string& request, std::string* answer)
{
    answer->clear();
    platform::TcpClient client(m_cancel.get());
    const std::string host = platform::EncodeWindows1251(m_account->host).substr(0, 254);
    if (client.Connect(host, m_account->port, m_timeouts.connectMs) != platform::NetResult::Ok
        || client.SendAll(request.data(), request.size(), m_timeouts.transferMs) != platform::NetResult::Ok)
        return JAM_E_CONNECT;
    // The whole answer must come within the transfer time, so a server that
    // trickles bytes cannot hold the worker longer than one that stays silent.
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(m_timeouts.transferMs);
    char buffer[kProviderMaxAnswer];
    while (answer->size() < kProviderMaxAnswer) {
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        size_t received = 0;
        const platform::NetResult r = client.Receive(buffer, kProviderMaxAnswer - answer->size(), &received,
            left > 0 ? static_cast<uint32_t>(left) : 0);
        if (r == platform::NetResult::Closed)
            break;
        if (r != platform::NetResult::Ok)
            return JAM_E_CONNECT;
        answer->append(buffer, received);
    }
    // A server that closes without a word has not answered.
    return answer->empty() ? JAM_E_CONNECT : JAM_OK;
}

JamStatus CGprsTransport::Ask(const std::string& request, ProviderAnswer* answer)
{
    std::string received;
    if (const JamStatus r = Exchange(request, &received); r != JAM_OK)
        return r;
    switch (ParseProviderAnswer(received, answer)) {
    case ProviderParse::Cut:
        return JAM_E_CONNECT;
    case ProviderParse::NotUnderstood:
        return JAM_E_RESPONSE;
    case ProviderParse::Ok:
        break;
    }
    // An error page (404, 500, ...) carries nothing of ours.
    return IsSuccess(answer->status) ? JAM_OK : JAM_E_RESPONSE;
}

JamStatus CGprsTransport::Download()
{
    const ProviderAccount& account = *m_account;
    const QString identifierPath = ProviderIdentifierPath();
    ProviderAnswer first;
    if (const JamStatus r = Ask(BuildProviderRequestA(account, ReadIdentifier(identifierPath)), &first);
        r != JAM_OK)
        return r;
    if (first.contentLength.value_or(first.body.size()) != 0)
        return DecodeProviderMessage(first.body) ? JAM_E_MESSAGE : JAM_E_RESPONSE;
    // Only an identifier the key can be made from replaces the stored one.
    const auto key = first.guid ? DeriveProviderKey(*first.guid, account.uid) : std::nullopt;
    if (!key)
        return JAM_E_RESPONSE;
    if (!platform::WriteFileAtomically(
            QFile::encodeName(identifierPath).toStdString(), first.guid->data(), first.guid->size()))
        return JAM_E_GUID_FILE;

    ProviderAnswer second;
    if (const JamStatus r = Ask(BuildProviderRequestB(account, first.key.value_or(std::string())), &second);
        r != JAM_OK)
        return r;
    if (!second.key)
        return DecodeProviderMessage(second.body) ? JAM_E_MESSAGE : JAM_E_RESPONSE;
    const auto cells = DecodeProviderJamBody(second.body, *key);
    if (!cells)
        return JAM_E_RESPONSE;
    m_cells = *cells;
    m_jamTime = platform::LocalTimeToFileTime(platform::GetLocalTime());
    return JAM_OK;
}
