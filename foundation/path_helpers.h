#pragma once
// Splitting paths into folder, title and extension, the program's folder, and
// file-existence tests. Both backslash and slash separate folders; the tests
// take device paths ("\My Documents\...") as well as local ones.
#include <QString>
#include <cstddef>
#include <optional>

// The path up to and including its last separator; empty when it has none.
QString GetFolderPart(const QString& path);
// The path without its extension; a dot inside a folder name is no extension.
QString RemoveExtension(const QString& path);
// The text after the extension's dot (empty for a trailing dot); "-1" when the
// file name has no dot at all.
QString GetFileExtension(const QString& path);
// The file name without its folder and extension.
QString GetFileTitle(const QString& path);

// The program file's full path; empty when it cannot be found.
QString GetModulePath();
// The program's folder (the data directory), ending with a separator; cached
// once found (a failed look-up is tried again on the next call).
const QString& GetProgramFolder();
// Forgets the cached program folder, so that the next call asks again (for
// tests that run with folders of their own).
void ForgetProgramFolder();
// Copies as much of the program folder as fits into `buffer` of `size`
// characters, terminated. Returns 1, or 0 when there is no room even for the
// terminator.
int CopyProgramFolder(char16_t* buffer, size_t size);

// Without an extension: whether `path` (with no dot in its name) is an existing
// folder. With "*": whether it is an existing file. With any other extension:
// whether it is an existing file whose extension matches without regard to case
// (or whose name has no extension at all).
bool FileOrFolderExists(const QString& path, const std::optional<QString>& extension = std::nullopt);

// When something exists at `path`, changes it to the first free name made of
// the path without extension, a number counting up from start + 1 and the
// extension ("x.txt" -> "x1.txt"), and returns that number; 0 when the path was
// free and is kept.
unsigned MakeNumberedFileName(QString& path, unsigned start = 0);
