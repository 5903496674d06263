#pragma once
// The route file (".rt"): the route's four points in geographic coordinates,
// so that it stays valid for any map that covers them, and whether a route had
// been computed. Framework archive, little-endian:
//   u32 magic 0xE3C1; the header string (FF FE FF, length, UTF-16LE): the
//   signature followed by the program version in decimal; u32 route state
//   (1 a computed route existed); u32 point count n; n records of f64
//   longitude and f64 latitude in radians, an unset point as 134217728.0 twice.
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

inline constexpr uint32_t kRouteFileMagic = 0xE3C1;
// Files written before this version are not read.
inline constexpr int kRouteFileOldestVersion = 101070;
// The value an unset point is written with (0x8000000).
inline constexpr double kRouteFileUnset = 134217728.0;

QString RouteFileSignature();

struct RouteFilePoint {
    double longitude = kRouteFileUnset;
    double latitude = kRouteFileUnset;
    bool IsUnset() const { return longitude == kRouteFileUnset || latitude == kRouteFileUnset; }
};

struct RouteFileContents {
    uint32_t state = 0;
    std::vector<RouteFilePoint> points;
};

// The file's bytes, with the program's own version in the header.
std::vector<uint8_t> WriteRouteFile(const RouteFileContents& contents);
// Reads a route file of at most `maxPoints` points: false for anything else
// (another magic, signature or an older version, a count outside 1..maxPoints,
// a file cut short).
bool ReadRouteFile(std::span<const uint8_t> bytes, int maxPoints, RouteFileContents& contents);
// Whether the path names a route file: its extension is exactly "rt".
bool IsRouteFilePath(const QString& path);
