#include "cli/cli_commands.h"

#include "job/job_file.h"
#include "platform/ini_store.h"
#include "platform/url_test.h"
#include "runs/series_guess.h"

#include <cstdio>

namespace ordinex::cli {

int RunGuess(const std::vector<std::string>& args) {
    // FIRST [LAST] [FOLDER]: a second argument that is no address is the folder.
    std::string first = args.at(0), last, folder;
    std::size_t next = 1;
    if (next < args.size() && IsUrlText(args[next]) && args[next].find("://") != std::string::npos)
        last = args[next++];
    if (next < args.size())
        folder = args[next++];
    if (next < args.size()) {
        std::fprintf(stderr, "引数が多すぎます\n");
        return kExitBadInput;
    }
    const SeriesGuess guess = GuessSeries(first, last, folder);
    if (!guess.ok) {
        std::fprintf(stderr, "%s\n", guess.error.c_str());
        return kExitBadInput;
    }
    IniStore ini;
    WriteJobSections(ini, guess.job, JobEncoding::JobFile);
    const std::string text = ini.Serialize();
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        return kExitSomeFailed;
    return kExitOk;
}

} // namespace ordinex::cli
