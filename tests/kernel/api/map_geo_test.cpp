// Geographic positions to map points and back: both directions answer the same
// code for a map without a transform, so a caller needs to know only one.
#include <gtest/gtest.h>

#include "kernel/api/map_geo.h"
#include "kernel/api/result_codes.h"
#include "kernel/doc/app_doc_manager.h"
#include "tests/support/map_fixture.h"

namespace {

class MapGeoTest : public ::testing::Test {
protected:
    void Open(const mapwriter::MapDescription& map)
    {
        mapwriter::SaveFile(m_path, mapwriter::WriteTzx(map));
        ZXS_MapSource source;
        source.path = m_path.c_str();
        ASSERT_EQ(m_doc.Map().Open(&source, nullptr, 0, CZXS_DiskStream::kDisk), 1);
        m_handle.pDoc = &m_doc;
        m_handle.pOwner = this;
    }

    testing_support::TempFolder m_folder;
    std::string m_path = m_folder.File("city.tzx");
    CZXS_Doc m_doc;
    CZXS_MapHandle m_handle;
};

TEST_F(MapGeoTest, AMapWithoutTransformAnswersTheSameCodeBothWays)
{
    mapwriter::MapDescription map = testing_support::SmallMap();
    map.transform.clear();
    Open(map);
    ZXS_Point point { 7, 7 };
    EXPECT_EQ(ZXS_GeoToMap(&m_handle, 0.6, 0.9, &point), ZXS_ERR_NOGEO);
    EXPECT_EQ(point.x, 7) << "the output is left alone";
    double longitude = 0;
    double latitude = 0;
    EXPECT_EQ(ZXS_MapToGeo(&m_handle, 10000, 20000, &longitude, &latitude), ZXS_ERR_NOGEO);
}

TEST_F(MapGeoTest, RoundTripAndFailures)
{
    Open(testing_support::SmallMap());
    double longitude = 0;
    double latitude = 0;
    ASSERT_EQ(ZXS_MapToGeo(&m_handle, 10600, 20300, &longitude, &latitude), ZXS_OK);
    ZXS_Point point;
    ASSERT_EQ(ZXS_GeoToMap(&m_handle, longitude, latitude, &point), ZXS_OK);
    EXPECT_EQ(point.x, 10600);
    EXPECT_EQ(point.y, 20300);
    EXPECT_EQ(ZXS_GeoToMap(&m_handle, 1e6, latitude, &point), ZXS_ERR_FAIL) << "beyond 32-bit coordinates";
    EXPECT_EQ(ZXS_GeoToMap(&m_handle, longitude, latitude, nullptr), ZXS_ERR_PARAM);
    CZXS_MapHandle closed;
    EXPECT_EQ(ZXS_GeoToMap(&closed, longitude, latitude, &point), ZXS_ERR_NOHANDLE);
}

} // namespace
