#pragma once
// The fixed ladder of map scales the map is shown at, and the steps along it.
// Values are in the map controller's scale unit; larger values show more map.
#include <cstdint>
#include <vector>

using ScaleList = std::vector<int32_t>;

// Empty until start-up loading fills it.
extern ScaleList g_scaleList;

// Makes the list the built-in ladder; filling it again does not repeat the values.
void FillScaleList(ScaleList& list = g_scaleList);
void FreeScaleList(ScaleList& list = g_scaleList);

int32_t GetMinMapScale(const ScaleList& list = g_scaleList);
int32_t GetMaxMapScale(const ScaleList& list = g_scaleList);
int32_t GetDefaultMapScale(const ScaleList& list = g_scaleList);
int32_t GetStartMapScale(const ScaleList& list = g_scaleList);
// The first rung above `scale`, else the top rung.
int32_t GetNextScaleUp(int32_t scale, const ScaleList& list = g_scaleList);
// The last rung below `scale`, else the bottom rung.
int32_t GetNextScaleDown(int32_t scale, const ScaleList& list = g_scaleList);
