#include "app/cli/cli_commands.h"

#include <cstdio>

namespace ordinex::cli {

int RunDownload(const std::string& jobPath) {
    std::fprintf(stderr, "%s: run is not available yet\n", jobPath.c_str());
    return kExitBadInput;
}

} // namespace ordinex::cli
