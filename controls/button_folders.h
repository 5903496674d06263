#pragma once
// The transparent buttons: 17 command buttons over the map, organised in
// folders that form a tree whose root is folder 0. A button holds a command
// (10000..10053, 10000 empty), a diagram (14000..14006) or the index of the
// folder it links to (down to a child, or up to the parent). The one
// instance is reached through GetTransparentButtonRoot.
//
// While shown, the overlay takes every tap on the map: a tap runs the
// button's command or opens the folder it links to; a long press opens the
// popup menu for the button.
#include "nav/popup_context.h"
#include "platform/process_object.h"
#include "platform/sync.h"
#include "ui/button_panel.h"
#include "ui/image_button.h"

#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

namespace platform {
class Archive;
}

class CButtonFolders : public CButtonPanel {
public:
    static constexpr int kButtonsPerFolder = 17;
    // A folder's record in the settings file: 17 ids, parent folder and button.
    static constexpr size_t kRecordSize = 4 * (kButtonsPerFolder + 2);
    // More folders than a file can sensibly hold mark it as damaged.
    static constexpr int32_t kMaxFolders = 4096;
    // A longer folder name marks the names' block as damaged.
    static constexpr qsizetype kMaxNameLength = 1024;

    struct Folder {
        QString nameEn;
        QString nameRu;
        std::array<int32_t, kButtonsPerFolder> buttons {};
        int32_t parentFolder = -1;
        int32_t parentButton = -1;
    };
    // The folder block of the settings file as read, before it is applied.
    struct Block {
        std::vector<Folder> folders;
        uint8_t gridShown = 1;
        uint8_t gridAlpha = 160;
        uint8_t iconsShown = 1;
        uint8_t iconsAlpha = 220;
        uint8_t backgroundShown = 1;
        uint8_t backgroundAlpha = 120;
        int32_t showCaptions = 1;
    };

    CButtonFolders();
    ~CButtonFolders() override = default;

    bool IsShown() const;
    // Stores the flag and goes back to the root.
    void SetShown(bool shown);
    int GetGridShown() const { return m_gridShown; }
    void SetGridShown(int shown) { m_gridShown = shown ? 1 : 0; }
    int GetIconsShown() const { return m_iconsShown; }
    void SetIconsShown(int shown) { m_iconsShown = shown ? 1 : 0; }
    int GetBackgroundShown() const { return m_backgroundShown; }
    void SetBackgroundShown(int shown) { m_backgroundShown = shown ? 1 : 0; }
    // 0..255; larger values are ignored.
    int GetGridAlpha() const { return m_gridAlpha; }
    void SetGridAlpha(int alpha);
    int GetBackgroundAlpha() const { return m_backgroundAlpha; }
    void SetBackgroundAlpha(int alpha);

    // Makes an existing folder the one on screen; anything else is ignored.
    void OpenFolder(int folder);
    int GetCurrentFolder() const;
    int GetFolderCount() const;
    // In the interface language; "-1" for a folder that does not exist.
    QString GetFolderName(int folder) const;
    // -1 for a folder or button that does not exist.
    int32_t GetButtonCommand(int folder, int button) const;
    // Puts a command, a diagram or a folder link on a button; false (the
    // button keeps its id) for anything else or a bad index.
    bool SetButtonCommand(int folder, int button, int32_t id);
    bool GetFolderParent(int folder, int32_t* parentFolder, int32_t* parentButton) const;

    // The popup menu's choice for button `button` of `folder`: a command
    // (10000..10046) or a diagram goes on the button, 13000 makes a new
    // sub-folder under it (named `nameEn`/`nameRu`, or as the user types when
    // none is given) and answers its index, 13001 links the button one level
    // up (not on the root). A sub-folder the button opened goes first, with
    // everything under it. -1 when no folder was made.
    int AssignCommand(
        int button, int32_t id, int folder, const QString& nameEn = {}, const QString& nameRu = {});
    // Asks for a new name of the sub-folder that `button` of `folder` opens.
    void RenameFolder(int button, int folder);
    // Gives that sub-folder `name` in both languages; false when the button opens none.
    bool RenameFolder(int button, int folder, const QString& name);
    // Removes the sub-folder `button` of `folder` opens with everything under
    // it; the later folders move down and every link to them follows.
    bool DeleteFolderTree(int folder, int button);
    // Removes that sub-folder when it has none of its own; false (nothing
    // changed) otherwise.
    bool DeleteFolderLink(int folder, int button);
    // "Folder %d" / "Папка %d" with the smallest number no sub-folder of `folder` has.
    std::array<QString, 2> ProposeFolderName(int folder) const;

    // Where button `button` stands and where its caption goes, for the screen.
    struct ButtonPlace {
        ElementPoint at;
        int32_t captionLeft = 0, captionTop = 0, captionRight = 0, captionBottom = 0;
    };
    ButtonPlace GetButtonPlace(int button) const { return PlaceButton(button); }

    // The button zone under a screen point (0..16), or -1.
    virtual int TapToZone(const ElementPoint& point) const
    {
        (void)point;
        return -1;
    }
    // Lets go of the pressed button (the popup menu took the release).
    void ReleasePressed();
    int GetPressedButton() const { return m_pressed; }
    int OnPointerDown(const ElementPoint& point) override;
    int OnPointerUp(const ElementPoint& point) override;
    int OnDoubleClick(const ElementPoint& point) override;
    void Draw() override;
    // Stores the surface and lays the buttons out for the screen.
    int SetSurface(CDrawTool* surface) override;

    // The folder block and the folder-names block of the settings file. A
    // block that does not hold one consistent tree loads the defaults; a cut
    // or impossible block loads them too and throws platform::ArchiveException.
    void Store(platform::Archive& archive);
    void Load(platform::Archive& archive);
    void SerializeNames(platform::Archive& archive);
    // Reading without applying: the block read through (a count the file
    // cannot hold throws platform::ArchiveException; ids no button may hold
    // read as 10000), and the names of `folderCount` folders.
    static Block ReadBlock(platform::Archive& archive);
    // Whether the folders form one tree: every folder but the root hangs
    // from an earlier folder's button that links to it, every link reaches
    // an existing folder, and a down link names the folder's own child.
    static bool IsConsistent(const Block& block);
    static std::vector<std::array<QString, 2>> ReadNames(platform::Archive& archive, int folderCount);

protected:
    // The root's default commands and the default folders.
    virtual void SetRootDefaults() { }
    virtual void CreateDefaultFolders() { }
    // The zone grid over the map.
    virtual void DrawGrid() { }
    virtual ButtonPlace PlaceButton(int button) const
    {
        (void)button;
        return {};
    }
    // Every folder removed, the display defaults back, the root created with
    // its defaults.
    void Clear();
    // A new folder linked from button `parentButton` of `parentFolder`; its index.
    int CreateFolder(int parentFolder, int parentButton, const QString& nameEn, const QString& nameRu);
    void SetButtons(int folder, std::initializer_list<std::pair<int, int32_t>> buttons);
    // Clear, then the default folders.
    void LoadDefaults();

private:
    void Apply(const Block& block);
    // The id on button `button` of the folder on screen, with that folder.
    int32_t CurrentButton(int button, int* folder) const;
    // A command runs, a folder link opens its folder; a diagram does nothing.
    void Click(int button);
    void ReleaseButton(int button);
    // Whether `id` may stand on a button while `folderCount` folders exist.
    static bool IsButtonId(int32_t id, int folderCount);
    // The child folder button `button` of `folder` opens, or -1 (folder lock held).
    int ChildAt(int folder, int button) const;

    mutable platform::CriticalSection m_folderLock;
    mutable platform::CriticalSection m_displayLock;
    std::vector<Folder> m_folders;
    int32_t m_currentFolder = 0;
    int32_t m_shown = 0;
    // Read by the draw thread while the settings page changes them.
    std::atomic<int32_t> m_gridShown { 1 };
    std::atomic<uint8_t> m_gridAlpha { 160 };
    std::atomic<int32_t> m_iconsShown { 1 };
    std::atomic<int32_t> m_backgroundShown { 1 };
    std::atomic<uint8_t> m_backgroundAlpha { 120 };
    // The buttons of the folder on screen (draw thread and pointer handling).
    std::array<CStandaloneImageButton, kButtonsPerFolder> m_screen;
    std::array<ButtonPlace, kButtonsPerFolder> m_places {};
    PopupContext m_request;
    int32_t m_pressed = -1;
};

// The overlay with its default contents.
class CScreenButtonFolders : public CButtonFolders {
public:
    CScreenButtonFolders();
    // Every folder removed; the root and the four default folders anew.
    void Reset();
    void ResetDefaults() { Reset(); }

    int TapToZone(const ElementPoint& point) const override;

    // The zone grid for the screen: its lines (x1, y1, x2, y2) and the box
    // of the centre button.
    struct Grid {
        std::vector<std::array<int, 4>> lines;
        int boxLeft = 0, boxTop = 0, boxWidth = 0, boxHeight = 0;
    };
    static Grid GetGrid();

protected:
    void SetRootDefaults() override;
    void CreateDefaultFolders() override;
    void DrawGrid() override;
    ButtonPlace PlaceButton(int button) const override;
};

inline platform::ProcessObject<CScreenButtonFolders> g_transparentButtonRoot;
// The one transparent-button overlay.
CScreenButtonFolders& GetTransparentButtonRoot();
