#include "kernel/api/result_codes.h"

int32_t ZXS_TranslateOpenError(int32_t kernelCode)
{
    switch (kernelCode) {
    case ZXS_KERR_FILEOPEN:
        return ZXS_ERR_FILEOPEN;
    case ZXS_KERR_READ:
        return ZXS_ERR_FILEREAD;
    case ZXS_KERR_VERSION:
        return ZXS_ERR_VERSION;
    case ZXS_KERR_MAGIC:
        return ZXS_ERR_SIGNATURE;
    case ZXS_KERR_GRAPH:
        return ZXS_ERR_GRAPH;
    case ZXS_KERR_MEMORY:
        return ZXS_ERR_MEMORY;
    case ZXS_KERR_HEADER:
        return ZXS_ERR_FORMAT;
    case ZXS_KERR_TABLE:
        return ZXS_ERR_DATA;
    default:
        return ZXS_ERR_KERNEL;
    }
}

int32_t ZXS_TranslateEnumError(int32_t kernelCode)
{
    switch (kernelCode) {
    case 0:
        return ZXS_OK;
    case ZXS_KERR_MEMORY:
        return ZXS_ERR_MEMORY;
    case ZXS_KERR_NOTFOUND:
        return ZXS_ERR_NODATA;
    default:
        return ZXS_ERR_FAIL;
    }
}

int32_t ZXS_TranslateStartError(int32_t kernelCode)
{
    switch (kernelCode) {
    case ZXS_KERR_MEMORY:
        return ZXS_ERR_MEMORY;
    case ZXS_KERR_SYMBOLSET:
        return ZXS_ERR_INIT;
    case ZXS_KERR_NOFACE:
        return ZXS_ERR_INIT2;
    default:
        return ZXS_ERR_FAIL;
    }
}

const char* ZXS_DescribeResult(int32_t resultCode)
{
    switch (resultCode) {
    case ZXS_OK:
        return "no error";
    case ZXS_ERR_NOHANDLE:
        return "the kernel is not started";
    case ZXS_ERR_PARAM:
        return "a bad argument";
    case ZXS_ERR_INIT:
    case ZXS_ERR_INIT2:
        return "the kernel cannot start";
    case ZXS_ERR_ALREADY:
        return "already open, or not open";
    case ZXS_ERR_NODATA:
        return "nothing there";
    case ZXS_ERR_BUSY:
        return "busy";
    case ZXS_ERR_SIGNATURE:
        return "not a map file, or an enciphered map without its key";
    case ZXS_ERR_VERSION:
        return "a map version the program does not read";
    case ZXS_ERR_FORMAT:
        return "the map's header is damaged";
    case ZXS_ERR_IMAGESIZE:
        return "the picture is larger than the kernel draws";
    case ZXS_ERR_NOGEO:
        return "the map has no geographic coordinates";
    case ZXS_ERR_FONTS:
        return "the fonts cannot be loaded";
    case ZXS_ERR_RANGE:
        return "a value out of range";
    case ZXS_ERR_GRAPH:
        return "the road graph beside the map is damaged or missing";
    case ZXS_ERR_TOOMANYPOINTS:
        return "too many points";
    case ZXS_ERR_NOOBJECT:
        return "no such object";
    case ZXS_ERR_NOTFOUND:
        return "not found";
    case ZXS_ERR_NOPASSAGE:
        return "no passage record";
    case ZXS_ERR_DIRECTION:
        return "a bad direction";
    case ZXS_ERR_MEMORY:
        return "out of memory";
    case ZXS_ERR_FILEOPEN:
        return "the file cannot be opened";
    case ZXS_ERR_FILEREAD:
        return "the file is cut short or cannot be read";
    case ZXS_ERR_DATA:
        return "the map's tables are damaged";
    case ZXS_ERR_BLT:
        return "the picture cannot be copied";
    case ZXS_ERR_KERNEL:
        return "the kernel failed";
    default:
        return "the operation failed";
    }
}
