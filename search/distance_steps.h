#pragma once
// The distances in metres from which search areas, waypoint alert radii and
// route corridor widths are chosen.
#include <array>

inline constexpr std::array<int, 75> g_distanceSteps { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 14, 16, 18, 20, 25,
    30, 35, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160, 170, 180, 190, 200, 220, 240, 260, 280,
    300, 320, 340, 360, 380, 400, 500, 600, 700, 800, 900, 1000, 1100, 1200, 1300, 1400, 1500, 1600, 1700,
    1800, 1900, 2000, 2200, 2400, 2600, 2800, 3000, 3500, 4000, 4500, 5000, 6500, 7000, 8000, 9000, 10000 };
