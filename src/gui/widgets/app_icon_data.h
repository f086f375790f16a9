#pragma once
#include <cstddef>
#include <vector>

namespace ordinex {

// One size of the application icon, as rendered from data/icons at build
// time (generated/app_icon_data.cpp), smallest first.
struct EmbeddedPng {
    const unsigned char* data;
    size_t size;
};
const std::vector<EmbeddedPng>& AppIconPngs();

} // namespace ordinex
