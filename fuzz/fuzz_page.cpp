#include "fuzz_bodies.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ordinex::fuzz::FuzzPage(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
