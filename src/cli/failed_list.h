#pragma once
#include "runs/run_report.h"

#include <string>

namespace ordinex::cli {

// The --failed-list file: one line per target of the runs that did not
// complete, OUTCOME<TAB>URL<TAB>DESTINATION<TAB>REASON. Written once the
// runs are over, through a temporary file and a rename; an empty path
// writes nothing.
class FailedList {
public:
    explicit FailedList(std::string path) : path_(std::move(path)) {}
    void Add(const RunReport& report);
    // False, with a message on standard error, when the file cannot be written.
    bool Write() const;

private:
    std::string path_;
    std::string text_;
};

} // namespace ordinex::cli
