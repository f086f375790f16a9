#include "app/cli/cli_commands.h"
#include "app/cli/cli_job.h"

#include <cstdio>
#include <vector>

namespace ordinex::cli {

int RunList(const std::string& jobPath) {
    COrdinexApp app;
    StderrPrompter prompter;
    app.SetPrompter(&prompter);
    Job job;
    if (!LoadJobForCli(app, jobPath, job))
        return kExitBadInput;
    if (!app.PrepareRun(job))
        return kExitBadInput;

    // Large jobs print millions of lines: one big buffer, no per-line flush.
    std::vector<char> buffer(1 << 20);
    std::setvbuf(stdout, buffer.data(), _IOFBF, buffer.size());
    std::string line;
    for (;;) {
        line = app.ReplacePlaceholders(app.urlTemplate);
        line += '\t';
        line += app.ReplacePlaceholders(app.folderTemplate);
        line += '\n';
        if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size())
            break; // reader went away (a closed pipe): stop quietly
        if (app.AdvanceRanges())
            break;
    }
    const bool ok = std::fflush(stdout) == 0;
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
    return ok ? kExitOk : kExitSomeFailed;
}

} // namespace ordinex::cli
