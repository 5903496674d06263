#pragma once

#include <array>
#include <cstdint>

// The 476-byte header of a map file, kept as its little-endian bytes and read
// field by field. The loader, the writer and the dump program share it.
class CZXS_TzxHeader {
public:
    static constexpr uint32_t kSize = 476;
    // An enciphered map has the header enciphered from this byte on.
    static constexpr uint32_t kCipherStart = 32;
    static constexpr uint32_t kMagicLength = 36; // without its terminating zero
    static constexpr uint16_t kVersionCurrent = 864;
    static constexpr uint16_t kVersionOldMax = 850;
    static constexpr uint32_t kMetricsSize = 776;
    static constexpr uint32_t kIndexBlockSize = 36;
    static constexpr uint32_t kLayerSize = 21;
    static constexpr uint32_t kStyleSize = 44;
    static constexpr uint32_t kTransformMinSize = 12 * 8;
    // A road-graph level from which a missing companion graph is accepted.
    static constexpr uint32_t kGraphOptionalLevel = 300;

    enum Field : uint32_t {
        kRoadGraphLevel = 44, // u32
        kTextSize = 52, // u32
        kMapId = 56, // 2 bytes, repeated by the passage journal file
        kResolution = 58, // i32
        kCodePage = 62, // u8
        kFlags = 78, // u8, bit 0: three-byte name prefixes
        kCoding = 79, // u8
        kVersion = 80, // u16
        kCreated = 82, // u32
        kLeft = 86, // i32 x4: left, right, top, bottom
        kRight = 90,
        kTop = 94,
        kBottom = 98,
        kResolution100 = 102, // u16
        kObjectCount = 116, // i32
        kPointSize = 120, // i32, in units of the coding at kCoding
        kStyleCount = 124, // i16
        kLayerCount = 126, // i16
        kNamesSize = 128, // i32
        kSymbolSize = 132, // i32
        kDictionarySize = 136, // i32
        kGrey = 150, // u8
        kBackground = 151, // u8 x3: red, green, blue
        kReserved = 154, // u16, must be 0
        kTransformSize = 156, // u16
        kFirstRoadLayer = 158, // i16, negative: no road layers
        kRoadLayerCount = 160, // i16
        kEmbeddedGraphSize = 162, // u32
    };

    static const std::array<uint8_t, kMagicLength + 1>& Magic();

    // All zero but the magic, the current version, an empty extent, a grey
    // background, no road layers and the given creation time.
    void MakeFresh(uint32_t createdAt);
    // The magic text is present and terminated.
    bool HasMagic() const;

    uint8_t* Bytes() { return m_bytes.data(); }
    const uint8_t* Bytes() const { return m_bytes.data(); }

    uint8_t U8(uint32_t at) const { return m_bytes[at]; }
    uint16_t U16(uint32_t at) const;
    int16_t I16(uint32_t at) const { return static_cast<int16_t>(U16(at)); }
    uint32_t U32(uint32_t at) const;
    int32_t I32(uint32_t at) const { return static_cast<int32_t>(U32(at)); }
    void SetU8(uint32_t at, uint8_t v) { m_bytes[at] = v; }
    void SetU16(uint32_t at, uint16_t v);
    void SetU32(uint32_t at, uint32_t v);

    uint16_t Version() const { return U16(kVersion); }
    bool IsOldLayout() const { return Version() <= kVersionOldMax; }
    bool HasRoadLayers() const { return I16(kFirstRoadLayer) >= 0 && I16(kRoadLayerCount) > 0; }

private:
    std::array<uint8_t, kSize> m_bytes {};
};
