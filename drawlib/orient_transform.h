#pragma once
// Maps the program's logical coordinates onto the memory layout of a surface.
// Only quarter turns and mirror images are representable: every entry is -1, 0
// or 1 and the determinant is +-1.
#include <cstdint>

class COrientTransform {
public:
    // Where a logical step of +1 in x goes (m00, m01) and one in y (m10, m11).
    int32_t m00 = 1, m01 = 0, m10 = 0, m11 = 1;
    // Surface position of logical (0, 0).
    int32_t tx = 0, ty = 0;
    // Inside an image the translation is the entry {0, width - 1, height - 1}
    // picked by these codes: x code 0 or 1, y code 0 or 2.
    uint8_t xCode = 0, yCode = 0;

    // From the images of (0, 0), (1, 0) and (0, 1); false (and unchanged) for
    // anything but a quarter turn or a mirror.
    bool SetFromPoints(int ax, int ay, int bx, int by, int cx, int cy, int xCodeIn, int yCodeIn);

    void Apply(int& x, int& y) const;
    void ApplyInImage(int& x, int& y, int imageWidth, int imageHeight) const;

    // 1 kept, -1 mirrored, 0 when x and y are exchanged.
    int XDirection() const { return m00; }
    int YDirection() const { return m11; }
    bool Exchanged() const { return m00 == 0; }

    bool operator==(const COrientTransform&) const = default;
};

// How a surface-oriented copy of a logical image walks its source: the
// surface's columns run along source rows unless the axes are exchanged, and
// each surface axis may run backwards through the source.
struct SourceWalk {
    bool exchanged; // surface columns follow source rows (y), surface rows source columns (x)
    bool columnsBackwards; // the first surface column is the source's last along its axis
    bool rowsBackwards;
};
SourceWalk SourceWalkOf(const COrientTransform& orientation);
