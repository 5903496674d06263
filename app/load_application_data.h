#pragma once
// The heavy half of the start-up, run once by the map window's first paint:
// the pictures into the image store, the map controller attached (which starts
// the map kernel and opens the map), the on-map overlays, the settings, the
// map view and the traffic machinery. Any missing piece ends the program with
// one bilingual message.
#include <QString>
#include <cstdint>
#include <vector>

// The pictures start-up loads from the resource library, by group: the
// required ones in six parts (a missing one ends the start-up), the optional
// ones in two parts around the target arrows, and the optional chain that
// stops at the first missing picture.
const std::vector<std::vector<uint32_t>>& RequiredImageParts();
const std::vector<uint32_t>& OptionalImages();
const std::vector<uint32_t>& OptionalImagesAfterTargetArrows();
const std::vector<uint32_t>& OptionalImageChain();

// The message the program ends with when files it needs are missing or of
// another version.
QString MissingFilesMessage();

// 1 on success; on failure it tells the user and ends the program.
int LoadApplicationData();
