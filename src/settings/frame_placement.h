#pragma once
#include <cstdint>
#include <string>

namespace ordinex {

class IniStore;

// A frame's placement under the ten keys of its section.
struct FramePlacement {
    int32_t flags = -1;
    int32_t showCmd = 5; // 1 normal, 2 minimized, 3 maximized, 5 as is
    int32_t minX = 0, minY = 0;
    int32_t maxX = 0, maxY = 0;
    int32_t left = 0, top = 0, right = 640, bottom = 431;
    bool operator==(const FramePlacement&) const = default;
};

inline constexpr int32_t kShowNormal = 1;
inline constexpr int32_t kShowMinimized = 2;
inline constexpr int32_t kShowMaximized = 3;

// readAll is ReadWindowSetting (and not a fatal exit): when off, the show
// state and the two corner positions are still read, but the normal
// rectangle is 0, 0, 640, 431.
FramePlacement LoadFramePlacement(const IniStore& ini, const std::string& section, bool readAll);
void SaveFramePlacement(IniStore& ini, const std::string& section, const FramePlacement& placement);

} // namespace ordinex
