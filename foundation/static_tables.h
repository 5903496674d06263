#pragma once
// Constant tables of texts: waypoint symbol and colour names in both interface
// languages, the two character sets of the waypoint file's single-byte text
// coding, and the fixed strings. The tables are constant-initialised data, so
// they exist before any static object could look at them; only the two mutable
// folder texts are built, on first use.
#include <QString>
#include <array>
#include <span>
#include <string_view>

inline constexpr int kWaypointSymbolCount = 80;
inline constexpr int kWaypointColourCount = 6;

// Indexed by the waypoint's symbol number; entry 0 is empty in both.
extern const std::array<std::u16string_view, kWaypointSymbolCount> g_symbolNamesEn;
extern const std::array<std::u16string_view, kWaypointSymbolCount> g_symbolNamesRu;
// Indexed by the waypoint colour number.
extern const std::array<std::u16string_view, kWaypointColourCount> g_colourNamesEn;
extern const std::array<std::u16string_view, kWaypointColourCount> g_colourNamesRu;

// The table of a language (0 English, 1 Russian); empty for any other value.
std::span<const std::u16string_view> WaypointSymbolNames(int language);
std::span<const std::u16string_view> WaypointColourNames(int language);

// The 66 Cyrillic letters, lower case then upper case, each ё after е.
extern const std::u16string_view g_cyrillicCharset;
// The 187 characters of the full set, in the order of its byte table.
extern const std::u16string_view g_fullCharset;

// The screenshot writer's message when its output file cannot be opened (%s: the file name).
inline constexpr std::u16string_view kCantOpenFileFormat = u"Can't open file\"%s\"";

// The folders the two waypoint dialogs last used for sound files; each starts
// as "\My Documents\" at every start and is not saved.
QString& WaypointEditDialogFolder();
QString& WaypointPropertiesDialogFolder();
