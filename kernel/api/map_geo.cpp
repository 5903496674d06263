#include "kernel/api/map_geo.h"

#include "kernel/api/result_codes.h"
#include "kernel/doc/app_doc_manager.h"

int32_t ZXS_GeoToMap(const CZXS_MapHandle* handle, double longitude, double latitude, ZXS_Point* point)
{
    if (handle == nullptr || handle->pDoc == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (point == nullptr)
        return ZXS_ERR_PARAM;
    const CZXS_Transform* transform = handle->pDoc->Map().Transform();
    if (transform == nullptr)
        return ZXS_ERR_NOGEO;
    int32_t x = 0;
    int32_t y = 0;
    if (GeoToMap(transform, longitude, latitude, x, y) == 0)
        return ZXS_ERR_FAIL;
    *point = { x, y };
    return ZXS_OK;
}

int32_t ZXS_MapToGeo(const CZXS_MapHandle* handle, int32_t x, int32_t y, double* longitude, double* latitude)
{
    if (handle == nullptr || handle->pDoc == nullptr)
        return ZXS_ERR_NOHANDLE;
    if (longitude == nullptr || latitude == nullptr)
        return ZXS_ERR_PARAM;
    const CZXS_Transform* transform = handle->pDoc->Map().Transform();
    if (transform == nullptr)
        return ZXS_ERR_NOGEO;
    return MapToGeo(transform, x, y, *longitude, *latitude) != 0 ? ZXS_OK : ZXS_ERR_FAIL;
}
