#pragma once
// The resource table (resources/resource_ids.tsv): every picture and sound of
// the program by its resource id, with its size per screen class and the
// recipe the generator draws it from; and the voice-prompt texts
// (resources/voice_prompts.tsv).
#include <QSize>
#include <QString>
#include <map>
#include <optional>
#include <vector>

namespace resgen {

enum class Kind { Bitmap, Wave, GlyphStrip };
// Library resources exist once per screen class; the program's own once.
enum class Module { Library, Program };

struct ResourceEntry {
    int id = 0;
    Kind kind = Kind::Bitmap;
    Module module = Module::Library;
    int stepCount = 1; // press steps: pictures at id, id + stepSize, ...
    int stepSize = 0;
    QSize qvga; // pixel size in the 96-dpi class (and of program pictures)
    QSize vga; // pixel size in the 192-dpi class
    int depth = 0; // bits per pixel (bitmaps) or per sample (waves)
    bool keyed = false; // magenta 0xFF00FF marks the transparent pixels
    QString meaning;
    QString recipe;

    // Every resource id this entry stands for (press steps expanded).
    std::vector<int> ids() const;
};

struct VoicePrompt {
    int id = 0;
    QString language; // "en" or "ru"
    QString text;
};

// Parses the table's text. Lines starting with '#' and the header line are
// skipped. On bad input returns nothing and sets `error` to the line and why.
std::optional<std::vector<ResourceEntry>> ParseResourceTable(const QString& text, QString* error);
std::optional<std::map<int, VoicePrompt>> ParseVoicePrompts(const QString& text, QString* error);

// Reads a whole UTF-8 text file; nothing when it cannot be read.
std::optional<QString> ReadTextFile(const QString& path);

} // namespace resgen
