#include "app/map_set.h"

#include "app/kn_exception.h"
#include "app/loading_wnd.h"
#include "foundation/app_services.h"
#include "foundation/language.h"
#include "foundation/path_helpers.h"
#include "foundation/screen_metrics.h"
#include "gps/gps_source.h"
#include "kernel/api/app_interface.h"
#include "kernel/api/map_key.h"
#include "kernel/api/map_query.h"
#include "kernel/api/result_codes.h"
#include "platform/message_box.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kStyleRecordSize = 44;
constexpr int kStyleWidthByte = 7;
constexpr int kMaxKeyFileSize = 256;
// The kernel reads and writes the passage journals of the maps it opens.
constexpr int32_t kJournalReadWrite = 3;
// Map files are mapped into memory.
constexpr int32_t kMappedReader = 1;

const QString kMapUpdateAddress = QStringLiteral("https://maps.orvantis.example/");

unsigned ExclamationOk() { return platform::MB_ICONEXCLAMATION | platform::MB_OK; }

QString FontMessage(const QString& folder)
{
    const QString shown = QDir::toNativeSeparators(folder);
    if (g_language == LANGUAGE_ENGLISH)
        return QStringLiteral(
            "Unable to init application, since can't find \"Arial.ttf\" (or \"tahoma.ttf\") file. "
            "One of these files has to be in the directory %1. Please, restart your Pocket PC.")
            .arg(shown);
    if (g_language == LANGUAGE_RUSSIAN)
        return QStringLiteral(
            "Невозможно инициализировать приложение, т.к. не найден файл \"Arial.ttf\" (или "
            "\"tahoma.ttf\"). Один из этих файлов должен находиться в директории %1. "
            "Пожалуйста, перезагрузите ваш Pocket PC.")
            .arg(shown);
    return QString();
}

QString MapFilesMessage()
{
    if (g_language == LANGUAGE_ENGLISH)
        return QStringLiteral("Unable to load the map files. Please, restart your Pocket PC, than check if "
                              "\"mskmo....tzx\", \"mskmo....zxg\" and \"mskmo....zxp\" files are in the same "
                              "directory with Travenor Pro.exe.\nIf files exist try to update map from\n")
            + kMapUpdateAddress;
    if (g_language == LANGUAGE_RUSSIAN)
        return QStringLiteral("Невозможно загрузить файлы карты. Пожалуйста, перезагрузите ваш Pocket PC, и "
                              "убедитесь, что файлы \"mskmo....tzx\", \"mskmo....zxg\" и \"mskmo....zxp\" "
                              "находятся в той же директории, что и Travenor Pro.exe.\nЕсли данные файлы "
                              "существуют, попробуйте обновить карту на сайте\n")
            + kMapUpdateAddress;
    return QString();
}

QString LongPathMessage()
{
    if (g_language == LANGUAGE_ENGLISH)
        return QStringLiteral("Travenor Pro. Too long file path.");
    if (g_language == LANGUAGE_RUSSIAN)
        return QStringLiteral("Travenor Pro. Слишком длинный путь файла.");
    return QString();
}

// The device's file system ignores case: a local path with its last
// components as they are spelt on disk.
QString AsSpeltOnDisk(const QString& localPath)
{
    return platform::DevicePathToLocal(platform::LocalToDevicePath(localPath));
}

enum class KeyFile { None, Read, Bad };

// The key file beside a map: none, a key, or a file that holds no key.
KeyFile ReadMapKey(const QString& mapPath, std::vector<uint8_t>& key)
{
    QFile file(AsSpeltOnDisk(RemoveExtension(mapPath) + QStringLiteral(".key")));
    if (!file.exists())
        return KeyFile::None;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxKeyFileSize)
        return KeyFile::Bad;
    const QByteArray text = file.readAll();
    key = ZXS_ParseMapKeyText(std::string_view(text.constData(), static_cast<size_t>(text.size())));
    return key.empty() ? KeyFile::Bad : KeyFile::Read;
}

} // namespace

void CKNException::ReportError() const { AppMessageBox(nullptr, m_message, AppTitle(), ExclamationOk()); }

CMapSet::CMapSet() = default;

CMapSet::~CMapSet()
{
    ZXS_MapClose(&m_map);
    ZXS_MapClose(&m_restyled);
    ZXS_AppRelease(&m_app);
}

QString CMapSet::FontFolder() { return GetProgramFolder() + QStringLiteral("Fonts/"); }

bool CMapSet::OpenWithFonts()
{
    const QString folder = FontFolder();
    const QByteArray folder8 = QFile::encodeName(folder);
    if (ZXS_AppCreate(&m_app, nullptr, 0, folder8.constData(), kJournalReadWrite) != 0) {
        AppMessageBox(nullptr, FontMessage(folder), AppTitle(), ExclamationOk());
        return false;
    }
    SetLoadingProgress(50);
    g_mapFolder = GetProgramFolder();
    return FindAndOpen();
}

int32_t CMapSet::OpenMapFile(const QString& path)
{
    std::vector<uint8_t> key;
    // A key file that holds no key: the map cannot be read with it.
    if (ReadMapKey(path, key) == KeyFile::Bad)
        return ZXS_ERR_PARAM;
    return ZXS_MapOpen(&m_map, this, reinterpret_cast<const char16_t*>(path.utf16()),
        key.empty() ? nullptr : key.data(), static_cast<int32_t>(key.size()), kMappedReader);
}

bool CMapSet::FindAndOpen()
{
    if (GetProgramFolder().isEmpty())
        throw CKNException(LongPathMessage(), 0);
    g_mapFileName.clear();
    for (const char16_t* name : kReleaseMapFiles) {
        const QString path = AsSpeltOnDisk(g_mapFolder + QString::fromUtf16(name));
        if (!FileOrFolderExists(path, QStringLiteral("tzx")))
            continue;
        g_mapFileName = QString::fromUtf16(name);
        if (OpenMapFile(path) == 0) {
            m_state = STATE_PLAIN;
            // The map changed: so has the fix's place on it.
            if (g_gpsSource) {
                platform::CSLock lock(g_gpsFixLock);
                g_gpsSource->UpdateMapPosition();
            }
            SetLoadingProgress(55);
            return true;
        }
    }
    g_mapFileName.clear();
    AppMessageBox(nullptr, MapFilesMessage(), AppTitle(), ExclamationOk());
    FatalExit(1);
}

bool CMapSet::ApplyFontScale()
{
    const double factor = m_fontPercent * 0.01;
    std::vector<uint8_t> table(static_cast<size_t>(kMaxStyleRecords) * kStyleRecordSize, 0);
    int count = 0;
    for (int layer = 0; layer < kMaxStyleLayers && count < kMaxStyleRecords; ++layer) {
        const int32_t group = ZXS_LayerGetStyleGroup(&m_map, layer);
        if (group < 0)
            break;
        // A group that several layers share is taken once per layer.
        for (int n = 0; count < kMaxStyleRecords; ++n) {
            if (ZXS_MapGetStyle(&m_map, group, n, &table[static_cast<size_t>(count) * kStyleRecordSize]) != 0)
                break;
            ++count;
        }
    }
    for (int i = 0; i < count; ++i) {
        uint8_t& width = table[static_cast<size_t>(i) * kStyleRecordSize + kStyleWidthByte];
        // A width past what the byte holds stays the widest line, never wraps to a thin one.
        width = static_cast<uint8_t>(std::clamp(std::trunc(width * factor), 0.0, 255.0));
    }
    // Without a restyled handle the plain map stays the active one.
    if (ZXS_MapOpenRestyled(&m_restyled, &m_map, table.data(), count) == 0)
        m_state = STATE_RESTYLED;
    return true;
}

bool CMapSet::Reopen(int32_t /*flags*/)
{
    ZXS_MapClose(&m_restyled);
    m_state = m_map.IsOpen() ? STATE_PLAIN : STATE_CLOSED;
    return FindAndOpen();
}

int32_t CMapSet::DefaultFontScale() { return ComputeDpiScaleY() * 96 == 192 ? 175 : 100; }
