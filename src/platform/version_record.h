#pragma once
#include <string>

namespace ordinex {

// The program's version record, compiled in from the build so that the
// About box always agrees with the program file.
struct VersionRecord {
    std::string fileDescription;
    std::string productName;
    std::string productVersion;
    std::string originalFilename;
    std::string fileVersion;
};

const VersionRecord& ProgramVersionRecord();

// "PROGRAM VERSION", the first line of --version.
std::string VersionLine(const std::string& program);

} // namespace ordinex
