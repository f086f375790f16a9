#include "cli/failed_list.h"

#include "platform/file_error_text.h"
#include "platform/visible_text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace ordinex::cli {

void FailedList::Add(const RunReport& report) {
    for (const RunReportRow& row : report.rows)
        text_ += FailedListLine(row);
}

bool FailedList::Write() const {
    if (path_.empty())
        return true;
    const auto slash = path_.find_last_of('/');
    std::string temp =
        (slash == std::string::npos ? std::string() : path_.substr(0, slash + 1)) + ".failed-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    int err = fd < 0 ? errno : 0;
    if (fd >= 0) {
        const bool written = ::write(fd, text_.data(), text_.size()) == static_cast<ssize_t>(text_.size());
        err = written ? 0 : errno;
        if (::close(fd) != 0 && err == 0)
            err = errno;
        if (err == 0 && ::rename(temp.c_str(), path_.c_str()) != 0)
            err = errno;
        if (err != 0)
            ::unlink(temp.c_str());
    }
    if (err != 0)
        std::fprintf(stderr, "%s\n", VisibleText(FileErrorText(err, path_)).c_str());
    return err == 0;
}

} // namespace ordinex::cli
