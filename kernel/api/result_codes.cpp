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
