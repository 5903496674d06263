#pragma once

#include <cstdint>

// Result codes of the flat interface (0 = success).
enum : int32_t {
    ZXS_OK = 0,
    ZXS_ERR_NOHANDLE = 2,
    ZXS_ERR_PARAM = 3,
    ZXS_ERR_INIT = 4,
    ZXS_ERR_ALREADY = 5,
    ZXS_ERR_NODATA = 20,
    ZXS_ERR_BUSY = 21,
    ZXS_ERR_SIGNATURE = 22,
    ZXS_ERR_VERSION = 23,
    ZXS_ERR_FORMAT = 24,
    ZXS_ERR_IMAGESIZE = 25, // an image of more pixels than the kernel draws into
    ZXS_ERR_NOGEO = 26,
    ZXS_ERR_FONTS = 27,
    ZXS_ERR_INIT2 = 28,
    ZXS_ERR_RANGE = 29,
    ZXS_ERR_GRAPH = 30,
    ZXS_ERR_TOOMANYPOINTS = 61,
    ZXS_ERR_NOOBJECT = 64,
    ZXS_ERR_NOTFOUND = 65,
    ZXS_ERR_NOPASSAGE = 80,
    ZXS_ERR_DIRECTION = 81,
    ZXS_ERR_MEMORY = 160,
    ZXS_ERR_FILEOPEN = 162,
    ZXS_ERR_FILEREAD = 163,
    ZXS_ERR_DATA = 165,
    ZXS_ERR_BLT = 166,
    ZXS_ERR_KERNEL = 167,
    ZXS_ERR_FAIL = 10000,
};

// Kernel error codes, stored in the failing kernel object.
enum : int32_t {
    ZXS_KERR_FILEOPEN = 1,
    ZXS_KERR_READ = 2,
    ZXS_KERR_VERSION = 3,
    ZXS_KERR_MAGIC = 4,
    ZXS_KERR_GRAPH = 6,
    ZXS_KERR_MEMORY = 7,
    ZXS_KERR_NOIMAGE = 8,
    ZXS_KERR_VIEWBUSY = 12,
    ZXS_KERR_QUEUEFULL = 13,
    ZXS_KERR_NOVIEW = 14,
    ZXS_KERR_QUEUEEMPTY = 15,
    ZXS_KERR_NOTFOUND = 16,
    ZXS_KERR_NOSOURCE = 18,
    ZXS_KERR_SOURCEPATH = 19,
    ZXS_KERR_HEADER = 100,
    ZXS_KERR_TABLE = 101,
    ZXS_KERR_SYMBOLRANGE = 102,
    ZXS_KERR_NOSYMBOL = 103,
    ZXS_KERR_FONTINIT = 2000,
    ZXS_KERR_SYMBOLSET = 2001,
    ZXS_KERR_NOFACE = 2003,
    ZXS_KERR_FONTSIZE = 2004,
    ZXS_KERR_GLYPHLOAD = 2005,
    ZXS_KERR_GLYPHRENDER = 2007,
    ZXS_KERR_GLYPHIMAGE = 2008,
};

// The only places where kernel codes become result codes.
int32_t ZXS_TranslateOpenError(int32_t kernelCode);
int32_t ZXS_TranslateEnumError(int32_t kernelCode);
int32_t ZXS_TranslateStartError(int32_t kernelCode);
// What a result code means, in words for a person (English, one phrase, no
// full stop); the same code always gives the same words.
const char* ZXS_DescribeResult(int32_t resultCode);
// Operations that report only success or failure.
inline int32_t ZXS_TranslateResult(bool ok) { return ok ? ZXS_OK : ZXS_ERR_FAIL; }
