#include "controls/button_folders.h"

#include "controls/command_registry.h"
#include "controls/map_popup_menu.h"
#include "foundation/language.h"
#include "foundation/screen_metrics.h"
#include "platform/archive.h"
#include "platform/message_box.h"
#include "ui/element_drawing.h"
#include "ui/text_entry_dlg.h"

#include <cassert>

namespace {

constexpr int32_t kEmpty = 10000;
constexpr int32_t kHideOverlay = 10002;
constexpr int32_t kUpLinkButton = 5;
constexpr int32_t kLastFolderIndex = 9999;
constexpr int32_t kDownLinkImage = 13000;
constexpr int32_t kUpLinkImage = 13001;
constexpr int kLinkPressStepOffset = 100;
constexpr int kCaptionFont = 196;
constexpr unsigned kCaptionFlags = 5;
constexpr uint32_t kBackgroundColour = 0x808080;
// Draw-tool colour (byte 0 red): blue lines.
constexpr uint32_t kGridColour = 0xFF0000;

bool IsCommandOrDiagram(int32_t id)
{
    return (id >= FIRST_COMMAND_ID && id <= LAST_COMMAND_ID)
        || (id >= FIRST_DIAGRAM_ID && id <= LAST_DIAGRAM_ID);
}
bool IsFolderLink(int32_t id) { return id >= 0 && id <= kLastFolderIndex; }

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

void CButtonFolders::OpenFolder(int folder)
{
    if (folder < 0 || folder >= GetFolderCount())
        return;
    platform::CSLock lock(m_displayLock);
    m_currentFolder = folder;
}

int CButtonFolders::GetCurrentFolder() const
{
    platform::CSLock lock(m_displayLock);
    return m_currentFolder;
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

int CButtonFolders::ChildAt(int folder, int button) const
{
    const int count = static_cast<int>(m_folders.size());
    if (folder < 0 || folder >= count || button < 0 || button >= kButtonsPerFolder)
        return -1;
    const int32_t id = m_folders[static_cast<size_t>(folder)].buttons[static_cast<size_t>(button)];
    if (!IsFolderLink(id) || id <= folder || id >= count)
        return -1;
    const Folder& child = m_folders[static_cast<size_t>(id)];
    return child.parentFolder == folder && child.parentButton == button ? id : -1;
}

std::array<QString, 2> CButtonFolders::ProposeFolderName(int folder) const
{
    platform::CSLock lock(m_folderLock);
    for (int k = 1;; ++k) {
        const QString en = QStringLiteral("Folder %1").arg(k);
        const QString ru = QStringLiteral("Папка %1").arg(k);
        bool taken = false;
        for (int b = 0; b < kButtonsPerFolder && !taken; ++b) {
            const int child = ChildAt(folder, b);
            if (child >= 0) {
                const Folder& f = m_folders[static_cast<size_t>(child)];
                taken = f.nameEn == en || f.nameRu == ru || f.nameEn == ru || f.nameRu == en;
            }
        }
        if (!taken)
            return { en, ru };
    }
}

namespace {

// The folder name as the user types it; empty when the dialog is cancelled.
QString AskFolderName(const QString& proposal)
{
    CTextEntryDlg dialog;
    dialog.m_prompt = g_language.load() == LANGUAGE_ENGLISH ? QStringLiteral("Input folder name")
                                                            : QStringLiteral("Введите имя папки");
    dialog.m_text = proposal;
    if (dialog.DoModal() != platform::IDOK)
        return {};
    return dialog.m_text;
}

} // namespace

int CButtonFolders::AssignCommand(
    int button, int32_t id, int folder, const QString& nameEn, const QString& nameRu)
{
    if (folder < 0 || folder >= GetFolderCount() || button < 0 || button >= kButtonsPerFolder)
        return -1;
    const bool command
        = (id >= kEmpty && id <= LAST_HINTED_COMMAND_ID) || (id >= FIRST_DIAGRAM_ID && id <= LAST_DIAGRAM_ID);
    if (!command && id != kDownLinkImage && id != kUpLinkImage)
        return -1;
    QString en = nameEn, ru = nameRu;
    if (id == kDownLinkImage) {
        if (GetFolderCount() >= kMaxFolders)
            return -1;
        if (en.isEmpty() || ru.isEmpty()) {
            // Asked before anything changes: a cancel leaves the button as it was.
            const auto proposal = ProposeFolderName(folder);
            en = ru = AskFolderName(proposal[g_language.load() == LANGUAGE_ENGLISH ? 0 : 1]);
            if (en.isEmpty())
                return -1;
        }
    }
    platform::CSLock lock(m_folderLock);
    DeleteFolderTree(folder, button);
    if (command) {
        SetButtonCommand(folder, button, id);
        return -1;
    }
    if (id == kDownLinkImage)
        return CreateFolder(folder, button, en, ru);
    if (folder != 0)
        SetButtonCommand(folder, button, m_folders[static_cast<size_t>(folder)].parentFolder);
    return -1;
}

bool CButtonFolders::RenameFolder(int button, int folder, const QString& name)
{
    platform::CSLock lock(m_folderLock);
    const int child = ChildAt(folder, button);
    if (child < 0)
        return false;
    m_folders[static_cast<size_t>(child)].nameEn = name;
    m_folders[static_cast<size_t>(child)].nameRu = name;
    return true;
}

void CButtonFolders::RenameFolder(int button, int folder)
{
    QString current;
    {
        platform::CSLock lock(m_folderLock);
        const int child = ChildAt(folder, button);
        if (child < 0)
            return;
        const Folder& f = m_folders[static_cast<size_t>(child)];
        current = g_language.load() == LANGUAGE_ENGLISH ? f.nameEn : f.nameRu;
    }
    // No lock is held while the dialog waits for the user.
    const QString name = AskFolderName(current);
    if (!name.isEmpty())
        RenameFolder(button, folder, name);
}

bool CButtonFolders::DeleteFolderTree(int folder, int button)
{
    platform::CSLock lock(m_folderLock);
    const int child = ChildAt(folder, button);
    if (child < 0)
        return false;
    // Leaves first: a folder's descendants all come after it, so its own index stays.
    for (int b = 0; b < kButtonsPerFolder; ++b)
        DeleteFolderTree(child, b);
    return DeleteFolderLink(folder, button);
}

bool CButtonFolders::DeleteFolderLink(int folder, int button)
{
    platform::CSLock lock(m_folderLock);
    // Checked whole before anything changes, so that no tree is left half renumbered.
    const int child = ChildAt(folder, button);
    if (child < 0)
        return false;
    for (int b = 0; b < kButtonsPerFolder; ++b)
        if (ChildAt(child, b) >= 0)
            return false;
    m_folders.erase(m_folders.begin() + child);
    m_folders[static_cast<size_t>(folder)].buttons[static_cast<size_t>(button)] = kEmpty;
    // Every link and parent past the removed folder moves down with its folder,
    // the links up included.
    for (Folder& f : m_folders) {
        for (int32_t& id : f.buttons) {
            if (IsFolderLink(id) && id > child)
                --id;
            else if (id == child)
                id = kEmpty;
        }
        if (f.parentFolder > child)
            --f.parentFolder;
    }
    platform::CSLock display(m_displayLock);
    if (m_currentFolder == child)
        m_currentFolder = folder;
    else if (m_currentFolder > child)
        --m_currentFolder;
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
        for (int32_t& id : folder.buttons) {
            id = archive.ReadInt32();
            // An id no button may hold reads as the empty command.
            if (!IsCommandOrDiagram(id) && !IsFolderLink(id))
                id = kEmpty;
        }
        folder.parentFolder = archive.ReadInt32();
        folder.parentButton = archive.ReadInt32();
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

bool CButtonFolders::IsConsistent(const Block& block)
{
    const int count = static_cast<int>(block.folders.size());
    if (count < 1)
        return false;
    for (int f = 0; f < count; ++f) {
        const Folder& folder = block.folders[static_cast<size_t>(f)];
        // The root has no parent; every other folder hangs from a link of an earlier one.
        if (f == 0) {
            if (folder.parentFolder != -1 || folder.parentButton != -1)
                return false;
        } else if (folder.parentFolder < 0 || folder.parentFolder >= f || folder.parentButton < 0
            || folder.parentButton >= kButtonsPerFolder
            || block.folders[static_cast<size_t>(folder.parentFolder)]
                    .buttons[static_cast<size_t>(folder.parentButton)]
                != f) {
            return false;
        }
        for (int b = 0; b < kButtonsPerFolder; ++b) {
            const int32_t id = folder.buttons[static_cast<size_t>(b)];
            if (!IsFolderLink(id))
                continue;
            if (id >= count || id == f)
                return false;
            // A link down names the folder's own child at this button.
            const Folder& target = block.folders[static_cast<size_t>(id)];
            if (id > f && (target.parentFolder != f || target.parentButton != b))
                return false;
        }
    }
    return true;
}

void CButtonFolders::LoadDefaults()
{
    Clear();
    CreateDefaultFolders();
}

void CButtonFolders::Load(platform::Archive& archive)
{
    Block block;
    try {
        block = ReadBlock(archive);
    } catch (const platform::ArchiveException&) {
        LoadDefaults();
        throw;
    }
    if (IsConsistent(block))
        Apply(block);
    else
        LoadDefaults();
}

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

int32_t CButtonFolders::CurrentButton(int button, int* folder) const
{
    const int current = GetCurrentFolder();
    if (folder)
        *folder = current;
    return GetButtonCommand(current, button);
}

int CButtonFolders::SetSurface(CDrawTool* surface)
{
    const int result = CScreenElement::SetSurface(surface);
    platform::CSLock lock(m_folderLock);
    for (int b = 0; b < kButtonsPerFolder; ++b) {
        m_places[static_cast<size_t>(b)] = PlaceButton(b);
        CStandaloneImageButton& button = m_screen[static_cast<size_t>(b)];
        button.Attach(GetSurface(), m_places[static_cast<size_t>(b)].at, this);
        button.SetSize({ g_buttonSide, g_buttonSide });
    }
    return result;
}

void CButtonFolders::ReleaseButton(int button)
{
    if (button < 0 || button >= kButtonsPerFolder)
        return;
    platform::CSLock lock(m_folderLock);
    m_screen[static_cast<size_t>(button)].SetPressedWithHint(0);
}

void CButtonFolders::ReleasePressed()
{
    if (IsShown())
        ReleaseButton(m_pressed);
}

int CButtonFolders::OnPointerDown(const ElementPoint& point)
{
    if (!IsShown())
        return 0;
    const int zone = TapToZone(point);
    m_pressed = zone;
    if (zone < 0)
        return 1;
    int folder = 0;
    const int32_t id = CurrentButton(zone, &folder);
    m_request.kind = POPUP_TRANSPARENT_BUTTON;
    m_request.element = this;
    m_request.mapX = zone;
    m_request.mapY = IsFolderLink(id) ? (id > folder ? kDownLinkImage : kUpLinkImage) : id;
    m_request.centreX = folder;
    if (CMapPopupMenu* menu = g_MapPopupMenu.get())
        menu->ArmLongPress(m_request);
    platform::CSLock lock(m_folderLock);
    CStandaloneImageButton& button = m_screen[static_cast<size_t>(zone)];
    if (button.GetImageId() != id)
        button.SetImageId(id);
    button.SetPressedWithHint(1);
    return 1;
}

void CButtonFolders::Click(int button)
{
    // The id is copied out: the command runs with no lock of the overlay held.
    const int32_t id = CurrentButton(button, nullptr);
    if (id >= FIRST_COMMAND_ID && id <= LAST_COMMAND_ID)
        ExecuteCommand(static_cast<uint32_t>(id));
    else if (IsFolderLink(id))
        OpenFolder(id);
}

int CButtonFolders::OnPointerUp(const ElementPoint& point)
{
    const int pressed = m_pressed;
    m_pressed = -1;
    if (!IsShown())
        return 0;
    const int zone = TapToZone(point);
    if (CMapPopupMenu* menu = g_MapPopupMenu.get())
        menu->CancelLongPress();
    ReleaseButton(pressed);
    if (zone >= 0 && zone == pressed)
        Click(zone);
    return 1;
}

int CButtonFolders::OnDoubleClick(const ElementPoint& point)
{
    if (!IsShown())
        return 0;
    const int zone = TapToZone(point);
    const int32_t id = zone >= 0 ? CurrentButton(zone, nullptr) : -1;
    if (id >= FIRST_COMMAND_ID && id <= LAST_COMMAND_ID && g_CommandRegistry)
        g_CommandRegistry->Invoke(static_cast<uint32_t>(id));
    return 1;
}

void CButtonFolders::Draw()
{
    CDrawTool* surface = GetSurface();
    if (!surface || !IsShown())
        return;
    const int width = GetScreenWidth(), height = GetScreenHeight();
    if (m_backgroundShown)
        FillRectAlpha(surface, 0, 0, width, height, kBackgroundColour, m_backgroundAlpha);
    if (m_iconsShown) {
        const int current = GetCurrentFolder();
        const bool english = g_language.load() == LANGUAGE_ENGLISH;
        const bool captions = GetShowCaptions() != 0;
        CGlyphFont* font = captions ? GetToolFont(kCaptionFont) : nullptr;
        platform::CSLock lock(m_folderLock);
        if (current >= static_cast<int>(m_folders.size()))
            return;
        const Folder& folder = m_folders[static_cast<size_t>(current)];
        for (int b = 0; b < kButtonsPerFolder; ++b) {
            const int32_t id = folder.buttons[static_cast<size_t>(b)];
            const ButtonPlace& place = m_places[static_cast<size_t>(b)];
            CStandaloneImageButton& button = m_screen[static_cast<size_t>(b)];
            if (button.GetImageId() != id)
                button.SetImageId(id);
            button.Draw();
            QString caption;
            if (IsFolderLink(id)) {
                const bool up = current >= id;
                const int image
                    = (up ? kUpLinkImage : kDownLinkImage) + button.GetPressStep() * kLinkPressStepOffset;
                DrawKeyedImage(surface, image, place.at.x, place.at.y, GetAlpha());
                if (!up && id < static_cast<int>(m_folders.size()))
                    caption = english ? m_folders[static_cast<size_t>(id)].nameEn
                                      : m_folders[static_cast<size_t>(id)].nameRu;
            } else if (IsCommandOrDiagram(id) && captions && g_CommandRegistry) {
                caption = g_CommandRegistry->GetShortName(static_cast<uint32_t>(id));
            }
            if (font && !caption.isEmpty())
                FontDrawTextInRect(font, caption,
                    { place.captionLeft, place.captionTop, place.captionRight, place.captionBottom },
                    kCaptionFlags);
        }
    }
    if (m_gridShown)
        DrawGrid();
}

CScreenButtonFolders::CScreenButtonFolders() { Reset(); }

int CScreenButtonFolders::TapToZone(const ElementPoint& point) const
{
    const int width = GetScreenWidth(), height = GetScreenHeight();
    if (width <= 0 || height <= 0)
        return -1;
    const int cx = width / 2, cy = height / 2;
    const int halfX = ScaleByDpiX(30), halfY = ScaleByDpiY(22);
    if (point.x >= cx - halfX && point.x < cx + halfX && point.y >= cy - halfY && point.y < cy + halfY)
        return 0;
    if (point.x < 0 || point.y < 0)
        return -1;
    const int64_t col = int64_t { point.x } * 4 / width, row = int64_t { point.y } * 4 / height;
    if (col > 3 || row > 3)
        return -1;
    static constexpr int kZones[4][4]
        = { { 5, 6, 7, 8 }, { 16, 1, 2, 9 }, { 15, 4, 3, 10 }, { 14, 13, 12, 11 } };
    return kZones[row][col];
}

CButtonFolders::ButtonPlace CScreenButtonFolders::PlaceButton(int button) const
{
    const int w = GetScreenWidth(), h = GetScreenHeight();
    const int side = GetButtonSide();
    const bool portrait = GetScreenOrientation() == ORIENT_PORTRAIT;
    auto sx = [](int n) { return ScaleByDpiX(n); };
    auto sy = [](int n) { return ScaleByDpiY(n); };
    static constexpr int kColumn[17] = { 0, 1, 2, 2, 1, 0, 1, 2, 3, 3, 3, 3, 2, 1, 0, 0, 0 };
    static constexpr int kRow[17] = { 0, 1, 1, 2, 2, 0, 0, 0, 0, 1, 2, 3, 3, 3, 3, 2, 1 };
    ButtonPlace place;
    int& x = place.at.x;
    int& y = place.at.y;
    auto caption = [&](int left, int top, int right, int bottom) {
        place.captionLeft = left;
        place.captionTop = top;
        place.captionRight = right;
        place.captionBottom = bottom;
    };
    if (button == 0) {
        x = w / 2 - sx(20);
        y = h / 2 - sy(25);
        caption(x - sx(9), y + sy(33), x + 2 * sx(30) - sx(9), y + sy(45));
        return place;
    }
    x = kColumn[button] * (w / 4);
    y = kRow[button] * (h / 4);
    const bool inner = button <= 4;
    if (!inner || portrait) {
        x += sx(10);
        if (portrait)
            y += sy(20);
    }
    if (inner && portrait) {
        y += button <= 2 ? -sy(20) : sy(7);
    } else if (inner) {
        switch (button) {
        case 1:
            caption(w / 4, y + sy(35), w / 2 - sx(30), y + sy(47));
            break;
        case 2:
            x = 3 * (w / 4) - sx(10) - side;
            caption(w / 2 + sx(30), y + sy(35), w / 2 + w / 4, y + sy(47));
            break;
        case 3:
            x = 3 * (w / 4) - sx(10) - side;
            y = h / 2 + sy(16);
            caption(w / 2, y + sy(33), 3 * (w / 4), y + sy(45));
            break;
        default:
            x = w / 4 + sx(10);
            y = h / 2 + sy(16);
            caption(w / 4, y + sy(33), w / 2, y + sy(45));
            break;
        }
        return place;
    }
    if (portrait)
        caption(x - sx(9), y + sy(35), x + sx(51), y + sy(47));
    else
        caption(x - sx(9), y + sy(35), x + w / 4 - sx(9), y + sy(47));
    return place;
}

CScreenButtonFolders::Grid CScreenButtonFolders::GetGrid()
{
    const int w = GetScreenWidth(), h = GetScreenHeight();
    const int halfX = ScaleByDpiX(30), halfY = ScaleByDpiY(22);
    Grid grid;
    for (int i : { 1, 3 }) {
        grid.lines.push_back({ i * (w / 4), 0, i * (w / 4), h });
        grid.lines.push_back({ 0, i * (h / 4), w, i * (h / 4) });
    }
    // The middle lines stop at the centre button's box.
    grid.lines.push_back({ 2 * (w / 4), 0, 2 * (w / 4), h / 2 - halfY });
    grid.lines.push_back({ 2 * (w / 4), h / 2 + halfY, 2 * (w / 4), h });
    grid.lines.push_back({ 0, 2 * (h / 4), w / 2 - halfX, 2 * (h / 4) });
    grid.lines.push_back({ w / 2 + halfX, 2 * (h / 4), w, 2 * (h / 4) });
    grid.boxLeft = w / 2 - halfX;
    grid.boxTop = h / 2 - halfY;
    grid.boxWidth = 2 * halfX;
    grid.boxHeight = 2 * halfY;
    return grid;
}

void CScreenButtonFolders::DrawGrid()
{
    CDrawTool* surface = GetSurface();
    const Grid grid = GetGrid();
    for (const auto& [x1, y1, x2, y2] : grid.lines)
        DrawLineOn(surface, x1, y1, x2, y2, kGridColour);
    DrawRectOutline(surface, grid.boxLeft, grid.boxTop, grid.boxWidth, grid.boxHeight, kGridColour);
}

void CScreenButtonFolders::Reset() { LoadDefaults(); }

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
