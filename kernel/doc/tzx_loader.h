#pragma once

#include <cstdint>

class CZXS_TzxDoc;
class CCollect;
class CZXS_MapCipher;

// Reads a whole map file from the document's stream into its tables.
class CZXS_TzxLoader {
public:
    // 1 on success (the document's reference count raised by 1), else 0 with
    // the kernel error stored in the document and the document closed.
    static int Load(CZXS_TzxDoc& doc, const uint8_t* key, int16_t keyLength);

    // Deciphers the used bytes of a table in place (copying a borrowed buffer first).
    static bool DecipherTable(const CZXS_MapCipher& cipher, CCollect& table);

    // Checks the records of the variable-length tables: every length inside the
    // table, no record shorter than its fixed part, the last ending at the end.
    static bool SymbolTableIsSound(const CCollect& table);
    static bool DictionaryIsSound(const CCollect& table);
    static bool NamesTableIsSound(const CCollect& table, bool prefixed);
    // Checks what the object records, index blocks and layers point at.
    static bool ObjectTablesAreSound(const CZXS_TzxDoc& doc);
    // Checks the layers against the header: first objects in order and inside
    // the header's object count, the road layers inside the layer table.
    static bool LayersAreSound(const CZXS_TzxDoc& doc);

private:
    // The load in its steps, in file order; each answers 0 or a kernel error.
    struct Reading;
    static int32_t Run(CZXS_TzxDoc& doc, const uint8_t* key, int16_t keyLength);
    static int32_t ReadHeader(Reading& r);
    static int32_t ReadFrontSections(Reading& r);
    static int32_t ReadObjects(Reading& r);
    static int32_t ReadIndexAndPoints(Reading& r);
    static int32_t ReadRoadGraph(Reading& r);
    static int32_t ReadStylesAndText(Reading& r);
};
