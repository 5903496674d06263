#pragma once
// The transparent buttons: 17 command buttons over the map, organised in
// folders that form a tree whose root is folder 0. A button holds a command
// (10000..10053, 10000 empty), a diagram (14000..14006) or the index of the
// folder it links to (down to a child, or up to the parent). The one
// instance is reached through GetTransparentButtonRoot.
//
// So far the folders hold their tree, their names and the overlay's display
// settings, with their default contents and their blocks of the settings
// file; the overlay is not drawn and takes no taps yet.
#include "platform/process_object.h"
#include "platform/sync.h"
#include "ui/button_panel.h"

#include <QString>
#include <array>
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

    int GetFolderCount() const;
    // In the interface language; "-1" for a folder that does not exist.
    QString GetFolderName(int folder) const;
    // -1 for a folder or button that does not exist.
    int32_t GetButtonCommand(int folder, int button) const;
    // Puts a command, a diagram or a folder link on a button; false (the
    // button keeps its id) for anything else or a bad index.
    bool SetButtonCommand(int folder, int button, int32_t id);
    bool GetFolderParent(int folder, int32_t* parentFolder, int32_t* parentButton) const;

    // The folder block and the folder-names block of the settings file.
    void Store(platform::Archive& archive);
    void Load(platform::Archive& archive);
    void SerializeNames(platform::Archive& archive);
    // Reading without applying: the block checked through (a folder whose
    // parent is not an earlier folder, or a count the file cannot hold,
    // throws platform::ArchiveException), and the names of `folderCount` folders.
    static Block ReadBlock(platform::Archive& archive);
    static std::vector<std::array<QString, 2>> ReadNames(platform::Archive& archive, int folderCount);

protected:
    // The root's default commands and the default folders.
    virtual void SetRootDefaults() { }
    virtual void CreateDefaultFolders() { }
    // Every folder removed, the display defaults back, the root created with
    // its defaults.
    void Clear();
    // A new folder linked from button `parentButton` of `parentFolder`; its index.
    int CreateFolder(int parentFolder, int parentButton, const QString& nameEn, const QString& nameRu);
    void SetButtons(int folder, std::initializer_list<std::pair<int, int32_t>> buttons);

private:
    void Apply(const Block& block);
    // Whether `id` may stand on a button while `folderCount` folders exist.
    static bool IsButtonId(int32_t id, int folderCount);

    mutable platform::CriticalSection m_folderLock;
    mutable platform::CriticalSection m_displayLock;
    std::vector<Folder> m_folders;
    int32_t m_currentFolder = 0;
    int32_t m_shown = 0;
    int32_t m_gridShown = 1;
    uint8_t m_gridAlpha = 160;
    int32_t m_iconsShown = 1;
    int32_t m_backgroundShown = 1;
    uint8_t m_backgroundAlpha = 120;
};

// The overlay with its default contents.
class CScreenButtonFolders : public CButtonFolders {
public:
    CScreenButtonFolders();
    // Every folder removed; the root and the four default folders anew.
    void Reset();
    void ResetDefaults() { Reset(); }

protected:
    void SetRootDefaults() override;
    void CreateDefaultFolders() override;
};

inline platform::ProcessObject<CScreenButtonFolders> g_transparentButtonRoot;
// The one transparent-button overlay.
CScreenButtonFolders& GetTransparentButtonRoot();
