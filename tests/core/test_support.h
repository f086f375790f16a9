#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ordinex::test {

// A fresh folder under the system temp folder, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& contents);
// The lines of a program's output, without their line feeds.
std::vector<std::string> Lines(const std::string& text);

// Runs the current folder change for the lifetime of the object.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::string& dir);
    ~ScopedCwd();

private:
    std::filesystem::path previous_;
};

// Sets an environment variable (or removes it, for nullopt) for the object's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace ordinex::test

#include <vector>

namespace ordinex::test {

struct ProcessResult {
    int exitCode = -1; // -1 when the process did not exit normally
    std::string out;
    std::string err;
    long peakMemoryKb = 0; // the largest resident set the program had
    bool killed = false;   // it outlived the time limit and was ended
};

// Runs a program in a folder and collects its output. extraEnv entries are
// "NAME=value" strings added to the environment. With limitSeconds, a
// program still running after that long is killed.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& cwd,
                         const std::vector<std::string>& extraEnv = {}, int limitSeconds = 0);

} // namespace ordinex::test
