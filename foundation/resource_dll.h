#pragma once
// The resource library of the screen's class: a folder of bitmaps and sounds
// ("resources/qvga" or "resources/vga" of the program folder) with a version
// file. A library is used only when its version equals the program's.
#include <QString>

// Program version as written into settings files, and as text.
constexpr int kProgramVersionNumber = 204272;
inline constexpr char kProgramFileVersion[] = "2.4.272.0";
int GetProgramVersionNumber();

// The program's own resources: the "resources" folder of the program folder.
QString ProgramResourceFolder();

// Maps a library file name ("ResourceDLL_VGA.dll", "ResourceDLL_QVGA.dll", any
// case, with or without a folder) to its folder; any other path is taken as a
// folder itself. Returns the folder when its version file names exactly the
// program's version, else an empty string.
QString LoadResourceLibrary(const QString& path);

class CResourceDll {
public:
    CResourceDll() = default;
    virtual ~CResourceDll();
    CResourceDll(const CResourceDll&) = delete;
    CResourceDll& operator=(const CResourceDll&) = delete;

    // With a path, the library's folder (empty when refused); without one, the
    // program's own resources.
    QString Load(const QString& path = QString());
    // Lets go of a loaded library; the program's own resources are never let go.
    void Free();
    const QString& Handle() const { return m_handle; }
    bool IsLoaded() const { return !m_handle.isEmpty(); }

private:
    QString m_handle;
};

// The library of the screen's resolution class: "ResourceDLL_VGA.dll" for class
// 2, "ResourceDLL_QVGA.dll" otherwise.
QString ResourceLibraryNameForScreen();
