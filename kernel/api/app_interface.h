#pragma once

#include <cstddef>
#include <cstdint>

#include "kernel/api/app_handle.h"
#include "kernel/api/map_handle.h"

// Starting and ending the kernel, opening and closing maps.

void ZXS_AppHandleInit(CZXS_AppHandle* handle);
// Creates the kernel once: the symbol image set (its bytes, or none; they must
// outlive the kernel), the font folder (ending in a path separator) and the
// passage-journal mode (bit 0 read journal files, bit 1 write them). 0 at once
// when the handle already holds a kernel; ZXS_ERR_MEMORY out of memory;
// ZXS_ERR_FONTS no font file in the folder; ZXS_ERR_INIT symbol set rejected;
// ZXS_ERR_INIT2 no font face loads; ZXS_ERR_FAIL other.
// A failed start leaves nothing behind.
int32_t ZXS_AppCreate(CZXS_AppHandle* handle, const uint8_t* symbols, size_t symbolsSize,
    const char* fontFolder, int32_t journalMode);
// Closes every map, stops the kernel's threads and deletes the kernel.
void ZXS_AppExit(CZXS_AppHandle* handle);
// Deletes the kernel held (its destructor stops the threads); always clears the kernel root.
void ZXS_AppRelease(CZXS_AppHandle* handle);
int32_t ZXS_AppCheck();

// Opens a map into the handle (closing what the handle held first). Maps are
// shared by path: a path already open gains a use, whatever key is given.
// Reader kind 0 reads the file, any other value maps it into memory.
int32_t ZXS_MapOpen(CZXS_MapHandle* handle, const void* owner, const char16_t* path, const uint8_t* key,
    int32_t keyLength, int32_t readerKind);
// As ZXS_MapOpen with a UTF-8 path.
int32_t ZXS_MapOpenA(CZXS_MapHandle* handle, const void* owner, const char* path, const uint8_t* key,
    int32_t keyLength, int32_t readerKind);
// A map held in memory with its road graph and POI set blocks (both optional);
// the blocks must outlive the map's handles. Never shared.
int32_t ZXS_MapOpenMemory(CZXS_MapHandle* handle, const void* owner, const uint8_t* map, uint32_t mapSize,
    const uint8_t* graph, uint32_t graphSize, const uint8_t* poi, uint32_t poiSize, const uint8_t* key,
    int32_t keyLength);
void ZXS_MapClose(CZXS_MapHandle* handle);
// Opens into `target` a second handle of the source's map with drawing styles
// of its own: `count` 44-byte style records whose first word is a scale, as
// ZXS_MapGetStyle gives it out. The records are copied and left unchanged; the
// source's map stays open while the new handle is. ZXS_ERR_ALREADY when the
// target is open; ZXS_ERR_PARAM no source handle, no records or a count below
// 1; ZXS_ERR_ALREADY the source is not open; ZXS_ERR_NOHANDLE the kernel is not
// started; ZXS_ERR_ALREADY the source's map has no header; ZXS_ERR_MEMORY out
// of memory.
int32_t ZXS_MapOpenRestyled(
    CZXS_MapHandle* target, const CZXS_MapHandle* source, const uint8_t* styles, int32_t count);
