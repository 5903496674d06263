#pragma once
// The application's hold on the map data: it starts the map kernel with its
// fonts, finds which of the release's map files lies in the program folder and
// opens it, and keeps a second, restyled handle of the same map whose line
// widths follow the user's map-font percentage. Every kernel call the program
// makes on "the map" goes to the active handle (ActiveMap).
#include "kernel/api/app_handle.h"
#include "kernel/api/map_handle.h"

#include <QString>
#include <atomic>
#include <cstdint>

// The folder the map files are sought in (the program folder, ending with a
// separator), and the file name of the map that was opened ("mskmo0704.tzx";
// empty while none is). Written at start-up and on a reopen, on the
// user-interface thread.
inline QString g_mapFolder;
inline QString g_mapFileName;

class CMapSet {
public:
    enum State : int32_t { STATE_CLOSED = 0, STATE_PLAIN = 1, STATE_RESTYLED = 2 };
    // The most style records a restyled map takes, and the most layers asked.
    static constexpr int kMaxStyleRecords = 600;
    static constexpr int kMaxStyleLayers = 300;
    // The release's map files, newest first.
    static constexpr const char16_t* kReleaseMapFiles[] = { u"mskmo0704.tzx", u"mskmo0701.tzx",
        u"mskmo0609.tzx", u"mskmo0603.tzx", u"mskmo0512.tzx", u"mskmo050902.tzx" };

    CMapSet();
    virtual ~CMapSet();
    CMapSet(const CMapSet&) = delete;
    CMapSet& operator=(const CMapSet&) = delete;

    // Starts the kernel with the program's fonts and opens the map (the first
    // open, at start-up). False, after telling the user, when the kernel does
    // not start.
    bool OpenWithFonts();
    // Opens the newest of the release's map files that opens. Throws
    // CKNException when there is no program folder; when no map opens it tells
    // the user and ends the program.
    bool FindAndOpen();
    // Builds the restyled handle from the map's styles with every line width
    // scaled by the font percent. A restyled open that fails keeps the plain map
    // active. Always true.
    bool ApplyFontScale();
    // Closes the restyled handle and opens the map again; the plain map is
    // active afterwards. Flags: 0 (no other value is defined).
    bool Reopen(int32_t flags);

    int32_t GetFontScale() const { return m_fontPercent; }
    // Takes effect at the next start, when ApplyFontScale runs.
    void SetFontScale(int32_t percent) { m_fontPercent = percent; }
    // 175 % on a screen of 192 dots per inch vertically, else 100 %.
    void InitFontScaleFromDpi() { m_fontPercent = DefaultFontScale(); }
    static int32_t DefaultFontScale();

    // The restyled handle once it is built, else the plain map handle.
    CZXS_MapHandle* ActiveMap() { return GetState() == STATE_RESTYLED ? &m_restyled : &m_map; }
    const CZXS_MapHandle* ActiveMap() const { return GetState() == STATE_RESTYLED ? &m_restyled : &m_map; }
    int32_t GetState() const { return m_state.load(std::memory_order_acquire); }
    const CZXS_AppHandle& GetAppHandle() const { return m_app; }

    // The folder the kernel looks for its TrueType font in (the program
    // folder's "Fonts", where the build puts them).
    static QString FontFolder();

private:
    // 0 when the file opened into the map handle; a kernel result otherwise.
    int32_t OpenMapFile(const QString& path);

    CZXS_AppHandle m_app;
    std::atomic<int32_t> m_state { STATE_CLOSED };
    CZXS_MapHandle m_restyled;
    CZXS_MapHandle m_map;
    int32_t m_fontPercent = 100;
};
