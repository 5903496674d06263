#include "controls/button_folders.h"

#include "foundation/language.h"
#include "platform/archive.h"

#include <cassert>

namespace {

constexpr int32_t kEmpty = 10000;
constexpr int32_t kHideOverlay = 10002;
constexpr int32_t kUpLinkButton = 5;

struct DefaultFolder {
    int rootButton;
    const char* nameEn;
    const char* nameRu;
    // Buttons 1-4 and 6-16; button 0 hides the overlay and button 5 goes up.
    std::array<int32_t, 15> buttons;
};

const DefaultFolder kDefaultFolders[] = {
    { 5, "Map", "Карта",
        { 10035, 10024, 10007, 10008, 10011, 10010, 10003, 10025, 10006, 10004, 10005, 10009, 10020, 10041,
            10023 } },
    { 16, "Settings", "Настройки",
        { 10000, 10000, 10000, 10018, 10001, 10014, 10003, 10000, 10000, 10000, 10000, 10000, 10019, 10032,
            10017 } },
    { 15, "Diagrams", "Диаграммы",
        { 14001, 14002, 10000, 14006, 10000, 10000, 10000, 14003, 14005, 10000, 10000, 10000, 10000, 14004,
            14000 } },
    { 14, "Route", "Маршрут",
        { 10038, 10028, 10021, 10040, 10024, 10035, 10003, 10022, 10026, 10042, 10018, 10032, 10017, 10027,
            10012 } },
};

} // namespace

CButtonFolders::CButtonFolders()
    : CButtonPanel(1)
{
    SetAlpha(220);
    SetState(STATE_HIDDEN);
}

bool CButtonFolders::IsShown() const
{
    platform::CSLock lock(m_displayLock);
    return m_shown != 0;
}

void CButtonFolders::SetShown(bool shown)
{
    platform::CSLock lock(m_displayLock);
    m_shown = shown ? 1 : 0;
    m_currentFolder = 0;
}

void CButtonFolders::SetGridAlpha(int alpha)
{
    if (alpha >= 0 && alpha < 256)
        m_gridAlpha = static_cast<uint8_t>(alpha);
}

void CButtonFolders::SetBackgroundAlpha(int alpha)
{
    if (alpha >= 0 && alpha < 256)
        m_backgroundAlpha = static_cast<uint8_t>(alpha);
}

int CButtonFolders::GetFolderCount() const
{
    platform::CSLock lock(m_folderLock);
    return static_cast<int>(m_folders.size());
}

QString CButtonFolders::GetFolderName(int folder) const
{
    platform::CSLock lock(m_folderLock);
    if (folder < 0 || folder >= static_cast<int>(m_folders.size()))
        return QStringLiteral("-1");
    const Folder& f = m_folders[static_cast<size_t>(folder)];
    return g_language.load() == LANGUAGE_ENGLISH ? f.nameEn : f.nameRu;
}

int32_t CButtonFolders::GetButtonCommand(int folder, int button) const
{
    platform::CSLock lock(m_folderLock);
    if (folder < 0 || folder >= static_cast<int>(m_folders.size()) || button < 0
        || button >= kButtonsPerFolder)
        return -1;
    return m_folders[static_cast<size_t>(folder)].buttons[static_cast<size_t>(button)];
}

bool CButtonFolders::IsButtonId(int32_t id, int folderCount)
{
    return (id >= 10000 && id <= 10053) || (id >= 14000 && id <= 14006) || (id >= 0 && id < folderCount);
}

bool CButtonFolders::SetButtonCommand(int folder, int button, int32_t id)
{
    platform::CSLock lock(m_folderLock);
    const int count = static_cast<int>(m_folders.size());
    if (folder < 0 || folder >= count || button < 0 || button >= kButtonsPerFolder || !IsButtonId(id, count))
        return false;
    m_folders[static_cast<size_t>(folder)].buttons[static_cast<size_t>(button)] = id;
    return true;
}

bool CButtonFolders::GetFolderParent(int folder, int32_t* parentFolder, int32_t* parentButton) const
{
    platform::CSLock lock(m_folderLock);
    if (folder < 0 || folder >= static_cast<int>(m_folders.size()))
        return false;
    *parentFolder = m_folders[static_cast<size_t>(folder)].parentFolder;
    *parentButton = m_folders[static_cast<size_t>(folder)].parentButton;
    return true;
}

void CButtonFolders::Clear()
{
    {
        platform::CSLock lock(m_folderLock);
        m_folders.assign(1, Folder {});
        m_folders.front().buttons.fill(kEmpty);
    }
    {
        platform::CSLock lock(m_displayLock);
        m_shown = 0;
        m_currentFolder = 0;
    }
    m_gridShown = 1;
    m_gridAlpha = 160;
    m_iconsShown = 1;
    m_backgroundShown = 1;
    m_backgroundAlpha = 120;
    SetAlpha(220);
    SetShowCaptions(1);
    SetRootDefaults();
}

int CButtonFolders::CreateFolder(
    int parentFolder, int parentButton, const QString& nameEn, const QString& nameRu)
{
    platform::CSLock lock(m_folderLock);
    const int index = static_cast<int>(m_folders.size());
    assert(
        parentFolder >= 0 && parentFolder < index && parentButton >= 0 && parentButton < kButtonsPerFolder);
    Folder folder;
    folder.nameEn = nameEn;
    folder.nameRu = nameRu;
    folder.buttons.fill(kEmpty);
    folder.buttons[0] = kHideOverlay;
    folder.buttons[kUpLinkButton] = parentFolder;
    folder.parentFolder = parentFolder;
    folder.parentButton = parentButton;
    m_folders.push_back(folder);
    m_folders[static_cast<size_t>(parentFolder)].buttons[static_cast<size_t>(parentButton)] = index;
    return index;
}

void CButtonFolders::SetButtons(int folder, std::initializer_list<std::pair<int, int32_t>> buttons)
{
    for (const auto& [button, id] : buttons)
        SetButtonCommand(folder, button, id);
}

void CButtonFolders::Store(platform::Archive& archive)
{
    {
        platform::CSLock lock(m_folderLock);
        archive.WriteInt32(static_cast<int32_t>(m_folders.size()));
        for (const Folder& folder : m_folders) {
            for (const int32_t id : folder.buttons)
                archive.WriteInt32(id);
            archive.WriteInt32(folder.parentFolder);
            archive.WriteInt32(folder.parentButton);
        }
    }
    archive.WriteUInt8(static_cast<uint8_t>(m_gridShown));
    archive.WriteUInt8(m_gridAlpha);
    archive.WriteUInt8(static_cast<uint8_t>(m_iconsShown));
    archive.WriteUInt8(GetAlpha());
    archive.WriteUInt8(static_cast<uint8_t>(m_backgroundShown));
    archive.WriteUInt8(m_backgroundAlpha);
    archive.WriteInt32(GetShowCaptions());
}

CButtonFolders::Block CButtonFolders::ReadBlock(platform::Archive& archive)
{
    Block block;
    const int32_t count = archive.ReadInt32();
    if (count < 0 || count > kMaxFolders || size_t(count) > archive.Remaining() / kRecordSize)
        throw platform::ArchiveException(
            "the button folders' count " + std::to_string(count) + " is impossible");
    block.folders.resize(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        Folder& folder = block.folders[static_cast<size_t>(i)];
        for (int32_t& id : folder.buttons)
            id = archive.ReadInt32();
        folder.parentFolder = archive.ReadInt32();
        folder.parentButton = archive.ReadInt32();
        // The root has no parent; every other folder hangs from an earlier one.
        const bool root = folder.parentFolder == -1 && folder.parentButton == -1;
        const bool child = folder.parentFolder >= 0 && folder.parentFolder < i && folder.parentButton >= 0
            && folder.parentButton < kButtonsPerFolder;
        if (i == 0 ? !root : !child)
            throw platform::ArchiveException(
                "button folder " + std::to_string(i) + " has an impossible parent");
    }
    block.gridShown = archive.ReadUInt8();
    block.gridAlpha = archive.ReadUInt8();
    block.iconsShown = archive.ReadUInt8();
    block.iconsAlpha = archive.ReadUInt8();
    block.backgroundShown = archive.ReadUInt8();
    block.backgroundAlpha = archive.ReadUInt8();
    block.showCaptions = archive.ReadInt32();
    return block;
}

void CButtonFolders::Apply(const Block& block)
{
    Clear();
    const int count = static_cast<int>(block.folders.size());
    for (int i = 0; i < count; ++i) {
        const Folder& stored = block.folders[static_cast<size_t>(i)];
        if (i > 0)
            CreateFolder(stored.parentFolder, stored.parentButton, QString(), QString());
    }
    // The ids once every folder exists, so that a link to a later folder holds.
    for (int i = 0; i < count; ++i)
        for (int b = 0; b < kButtonsPerFolder; ++b)
            SetButtonCommand(i, b, block.folders[static_cast<size_t>(i)].buttons[static_cast<size_t>(b)]);
    m_gridShown = block.gridShown ? 1 : 0;
    m_gridAlpha = block.gridAlpha;
    m_iconsShown = block.iconsShown ? 1 : 0;
    SetAlpha(block.iconsAlpha);
    m_backgroundShown = block.backgroundShown ? 1 : 0;
    m_backgroundAlpha = block.backgroundAlpha;
    SetShowCaptions(block.showCaptions ? 1 : 0);
    SetShown(false);
}

void CButtonFolders::Load(platform::Archive& archive) { Apply(ReadBlock(archive)); }

std::vector<std::array<QString, 2>> CButtonFolders::ReadNames(platform::Archive& archive, int folderCount)
{
    std::vector<std::array<QString, 2>> names;
    for (int i = 0; i < folderCount; ++i) {
        std::array<QString, 2> pair { archive.ReadString(), archive.ReadString() };
        if (pair[0].size() > kMaxNameLength || pair[1].size() > kMaxNameLength)
            throw platform::ArchiveException("a button folder's name is too long");
        names.push_back(std::move(pair));
    }
    return names;
}

void CButtonFolders::SerializeNames(platform::Archive& archive)
{
    if (archive.IsStoring()) {
        platform::CSLock lock(m_folderLock);
        for (const Folder& folder : m_folders) {
            archive.WriteString(folder.nameEn);
            archive.WriteString(folder.nameRu);
        }
        return;
    }
    const auto names = ReadNames(archive, GetFolderCount());
    platform::CSLock lock(m_folderLock);
    for (size_t i = 0; i < names.size() && i < m_folders.size(); ++i) {
        m_folders[i].nameEn = names[i][0];
        m_folders[i].nameRu = names[i][1];
    }
}

CScreenButtonFolders::CScreenButtonFolders() { Reset(); }

void CScreenButtonFolders::Reset()
{
    Clear();
    CreateDefaultFolders();
}

void CScreenButtonFolders::SetRootDefaults()
{
    SetButtons(0,
        { { 0, 10002 }, { 1, 10001 }, { 2, 10017 }, { 3, 10028 }, { 4, 10027 }, { 6, 14006 }, { 7, 10019 },
            { 8, 10003 }, { 9, 10037 }, { 10, 10021 }, { 11, 10042 }, { 12, 10041 }, { 13, 10034 } });
}

void CScreenButtonFolders::CreateDefaultFolders()
{
    for (const DefaultFolder& defaults : kDefaultFolders) {
        const int folder = CreateFolder(
            0, defaults.rootButton, QString::fromUtf8(defaults.nameEn), QString::fromUtf8(defaults.nameRu));
        for (int i = 0; i < 15; ++i)
            SetButtonCommand(folder, i < 4 ? i + 1 : i + 2, defaults.buttons[static_cast<size_t>(i)]);
    }
}

CScreenButtonFolders& GetTransparentButtonRoot() { return *g_transparentButtonRoot; }
