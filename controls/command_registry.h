#pragma once
// The program's command vocabulary: one entry per command id 10000-10053 with
// its names, its small image, the popup-menu message that offers it, its kind
// (plain, toggle, radio), its checked flag and the handler that carries it
// out; and one entry per diagram id 14000-14006. Everything a user binds to a
// button, a key or a menu item is such an id, run through Execute.
//
// Ids 10000-10046 are the assignable commands, offered in the lists the user
// picks from; 10047-10053 are bound only by the program itself and have no
// names. Every getter checks its id: an id of neither range (one read from a
// damaged settings file, say) answers empty names and 0.
#include "platform/process_object.h"
#include "ui/ui_hooks.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>

class CDrawTool;
class CImageList;
class CScreenElement;
class QTreeWidget;

inline constexpr uint32_t kFirstCommand = 10000;
inline constexpr uint32_t kLastAssignableCommand = 10046;
inline constexpr uint32_t kLastCommand = 10053;
inline constexpr uint32_t kFirstDiagram = 14000;
inline constexpr uint32_t kLastDiagram = 14006;
inline constexpr int kCommandCount = kLastCommand - kFirstCommand + 1;
inline constexpr int kAssignableCommandCount = kLastAssignableCommand - kFirstCommand + 1;
inline constexpr int kDiagramCount = kLastDiagram - kFirstDiagram + 1;

// The two folder items the transparent-button lists mix with commands: a
// button that opens a new sub-folder, and one that goes a folder up.
inline constexpr uint32_t kFolderItemNewFolder = 13000;
inline constexpr uint32_t kFolderItemLevelUp = 13001;

// Command ids named where the program runs them itself.
enum : uint32_t {
    CMD_EMPTY = 10000,
    CMD_SETTINGS = 10001,
    CMD_SHOW_TRANSPARENT_BUTTONS = 10002,
    CMD_EXIT = 10003,
    CMD_MOVE_RIGHT = 10004,
    CMD_MOVE_LEFT = 10005,
    CMD_MOVE_UP = 10006,
    CMD_MOVE_DOWN = 10007,
    CMD_ZOOM_IN = 10008,
    CMD_ZOOM_OUT = 10009,
    CMD_ZOOM_WINDOW = 10010,
    CMD_SCROLL = 10011,
    CMD_FIRST_POINT = 10012,
    CMD_LAST_POINT = 10013,
    CMD_PHONE = 10014,
    CMD_ADDRESS_SEARCH = 10017,
    CMD_EDIT_WAYPOINTS = 10018,
    CMD_HELP = 10019,
    CMD_ZOOM_SLIDER = 10020,
    CMD_DELETE_ROUTE = 10021,
    CMD_GPS_TRACKING = 10022,
    CMD_OBJECT_NAME = 10023,
    CMD_SHOW_ROUTE = 10024,
    CMD_SHOW_WAYPOINTS = 10025,
    CMD_ALWAYS_UP = 10026,
    CMD_RECOVER_ROUTE = 10027,
    CMD_ROUTE_FINISH_ONLY = 10028,
    CMD_MINIMIZE = 10030,
    CMD_CLOSE = 10031,
    CMD_POI_SEARCH = 10032,
    CMD_ORIENTATION_PANEL = 10033,
    CMD_ADD_WAYPOINT = 10034,
    CMD_SHOW_ROUTE_PART = 10035,
    CMD_ROAD_JUNCTION = 10036,
    CMD_DOWNLOAD_JAM = 10037,
    CMD_ROUTE_WIZARD = 10038,
    CMD_SEARCH_WIZARD = 10039,
    CMD_RECREATE_ROUTE = 10040,
    CMD_SCREENSHOT = 10041,
    CMD_DRIVING_MODE = 10042,
    CMD_HARROWICK = 10043,
    CMD_WAYPOINT_EDITOR = 10044,
    CMD_RESTORE_GPS = 10045,
    CMD_BACK_ROUTE = 10046,
    CMD_HIDE_MESSAGE = 10047,
    CMD_ZOOM_IN_BUTTON = 10048,
    CMD_ZOOM_OUT_BUTTON = 10049,
    CMD_QUICK_MENU_EN = 10051,
    CMD_QUICK_MENU_RU = 10052,
};

struct CCommandEntry;
using CommandHandler = void (*)(CCommandEntry& entry);

struct CCommandEntry {
    CommandKind kind = COMMAND_PLAIN;
    std::atomic<int32_t> checked { 0 }; // read by the draw thread's buttons
    QString nameEn;
    QString nameRu;
    QString shortNameEn;
    QString shortNameRu;
    int32_t id = 0;
    int32_t imageId = 0;
    int32_t messageId = 0;
    CommandHandler handler = nullptr;
    CommandHandler alternate = nullptr;

    void Flip() { checked = checked ? 0 : 1; }
};

struct CDiagramEntry {
    CScreenElement* widget = nullptr; // not owned
    QString nameEn;
    QString nameRu;
    QString shortNameEn;
    QString shortNameRu;
    int32_t id = 0;
    int32_t icon = 0;
    int32_t messageId = 0;
};

class CCommandRegistry {
public:
    CCommandRegistry() = default;
    CCommandRegistry(const CCommandRegistry&) = delete;
    CCommandRegistry& operator=(const CCommandRegistry&) = delete;

    // Fills the entries and checks the radio of the map controller's tap mode. 1.
    int Init();
    // Runs the command's handler; a tap-mode command then becomes the checked
    // radio. Ids outside 10000-10053 do nothing.
    void Execute(uint32_t id);
    // The alternate (double-tap) handler, when the command has one.
    void Invoke(uint32_t id);
    // Checks the radio `id` and unchecks every other radio; other ids do nothing.
    void UpdateRadioGroup(uint32_t id);
    int32_t IsChecked(uint32_t id) const;
    CommandKind GetKind(uint32_t id) const;

    // Names of a command, or of a diagram for an id of that range. GetName
    // and GetShortName follow the interface language: "-1" for a language
    // that is neither English nor Russian.
    QString GetNameEn(uint32_t id) const;
    QString GetNameRu(uint32_t id) const;
    QString GetName(uint32_t id) const;
    QString GetShortNameEn(uint32_t id) const;
    QString GetShortNameRu(uint32_t id) const;
    QString GetShortName(uint32_t id) const;
    // A command's small image; for a diagram its own id (a diagram is drawn
    // live, by DrawDiagram).
    int32_t GetImageId(uint32_t id) const;
    // The popup-menu message that offers the command or diagram.
    int32_t GetMessageId(uint32_t id) const;
    CCommandEntry* GetCommandEntry(uint32_t id);
    const CCommandEntry* GetCommandEntry(uint32_t id) const;
    CDiagramEntry* GetDiagramEntry(uint32_t id);
    const CDiagramEntry* GetDiagramEntry(uint32_t id) const;

    // The widget a diagram id shows; the diagram button hands them over.
    void SetDiagramWidget(uint32_t id, CScreenElement* widget);
    // Draws a diagram's icon, its widget and its frame at (x, y); nothing
    // while the widget is hidden (draw thread).
    void DrawDiagram(uint32_t id, CDrawTool* canvas, int x, int y, int alpha) const;

    // The command lists of the settings pages: picture i and row i belong to
    // command 10000 + i, for the 47 assignable commands.
    void FillImageList(CImageList& images) const;
    void FillListView(QTreeWidget* list, const CImageList* images = nullptr) const;
    // Sort callbacks over command ids: -1, 0 or 1 by the names' UTF-16 code
    // units; 0 for equal ids or a non-zero sort flag. CompareFolderItems
    // knows the two folder items too.
    static int CompareCommandNames(uint32_t id1, uint32_t id2, int sortFlag);
    static int CompareFolderItems(uint32_t id1, uint32_t id2, int sortFlag);
    // The bitmaps made for the lists' pictures go.
    static void FreeScreenBitmaps();

    int32_t GetLastQuickMenuChoice() const { return m_lastQuickMenuChoice; }
    void SetLastQuickMenuChoice(int32_t choice) { m_lastQuickMenuChoice = choice; }

    static bool IsCommand(uint32_t id) { return id >= kFirstCommand && id <= kLastCommand; }
    static bool IsAssignableCommand(uint32_t id)
    {
        return id >= kFirstCommand && id <= kLastAssignableCommand;
    }
    static bool IsDiagram(uint32_t id) { return id >= kFirstDiagram && id <= kLastDiagram; }

private:
    // One text of a command's or a diagram's entry.
    template <QString CCommandEntry::*Command, QString CDiagramEntry::*Diagram>
    QString EntryText(uint32_t id) const;

    int32_t m_lastQuickMenuChoice = 0;
    std::array<CCommandEntry, kCommandCount> m_entries {};
    std::array<CDiagramEntry, kDiagramCount> m_diagrams {};
};

inline platform::ProcessObject<CCommandRegistry> g_CommandRegistry;

// Runs a command through the registry, when the registry exists.
void ExecuteCommand(uint32_t id);
// The registry's checked flag of a command; 0 without a registry.
int32_t IsCommandChecked(uint32_t id);
