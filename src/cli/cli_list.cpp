#include "cli/cli_commands.h"
#include "cli/cli_job.h"

#include "platform/text_helpers.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace ordinex::cli {

int RunList(const std::string& jobPath) {
    CliApp app;
    Job job;
    if (!LoadJobForCli(app, jobPath, job))
        return kExitBadInput;
    if (!app.PrepareRun(job))
        return kExitBadInput;

    // Large jobs print millions of lines: one big buffer, no per-line flush.
    std::vector<char> buffer(1 << 20);
    std::setvbuf(stdout, buffer.data(), _IOFBF, buffer.size());
    // Passwords in the address are masked here too, as on every other output.
    const bool maskUrl = MaskPasswords(app.urlTemplate) != app.urlTemplate;
    std::string line;
    bool written = true;
    for (;;) {
        line = app.ReplacePlaceholders(app.urlTemplate);
        if (maskUrl)
            line = MaskPasswords(line);
        line += '\t';
        line += app.ReplacePlaceholders(app.folderTemplate);
        line += '\n';
        if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size()) {
            written = false;
            break;
        }
        if (app.AdvanceRanges())
            break;
    }
    written = std::fflush(stdout) == 0 && written;
    const int err = errno;
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
    if (written)
        return kExitOk;
    // A reader that went away (a closed pipe) is no error worth a word; a
    // full disk or a failing device is.
    if (err != EPIPE) {
        const char* reason = err == ENOSPC || err == EDQUOT || err == EFBIG ? "ディスクがいっぱいです"
                             : err == EIO ? "I/O エラーが発生しました"
                                          : std::strerror(err);
        std::fprintf(stderr, "一覧を標準出力に書き込めませんでした: %s\n", reason);
    }
    return kExitSomeFailed;
}

} // namespace ordinex::cli
