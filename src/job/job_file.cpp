#include "job/job_file.h"

#include "platform/file_error_text.h"
#include "platform/file_system.h"
#include "platform/ini_store.h"
#include "platform/text_encoding.h"
#include "platform/text_helpers.h"
#include "settings/program_settings.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ordinex {

namespace {

constexpr std::size_t kJobTextLimit = 259;
constexpr std::size_t kProfileTextLimit = 4095;
constexpr const char* kUrlFolder = "UrlFolder";
constexpr const char* kOrdinseq = "Ordinseq";

struct TextKey {
    const char* key;
    std::string Job::*field;
};
constexpr TextKey kTextKeys[] = {
    {"UrlBaseText", &Job::urlBase},         {"UrlExpansionText", &Job::urlExpansion},
    {"AccessUserNameText", &Job::userName}, {"AccessPasswordText", &Job::password},
    {"FolderBaseText", &Job::folderBase},   {"FolderExpansionText", &Job::folderExpansion},
};

std::string RangeKey(int k, const char* what) {
    return "WildCard" + std::to_string(k + 1) + what;
}

} // namespace

Job ReadJobSections(const IniStore& ini, JobEncoding encoding) {
    const std::size_t limit = encoding == JobEncoding::JobFile ? kJobTextLimit : kProfileTextLimit;
    Job job;
    for (const auto& t : kTextKeys)
        job.*t.field = ini.GetString(kUrlFolder, t.key, "", limit);
    for (int k = 0; k < kRangeCount; ++k) {
        RangeFields& r = job.ranges[k];
        if (encoding == JobEncoding::JobFile)
            r.check = TextToBool(ini.GetString(kOrdinseq, RangeKey(k, "Check"), "0", limit)) ? 1 : 0;
        else
            r.check = ini.GetInt(kOrdinseq, RangeKey(k, "Check"), 0);
        r.start = ini.GetString(kOrdinseq, RangeKey(k, "Start"), "", limit);
        r.end = ini.GetString(kOrdinseq, RangeKey(k, "End"), "", limit);
    }
    return job;
}

void WriteJobSections(IniStore& ini, const Job& job, JobEncoding encoding) {
    for (const auto& t : kTextKeys) {
        const std::string& value = job.*t.field;
        ini.SetString(kUrlFolder, t.key, encoding == JobEncoding::JobFile ? TrimBlanks(value) : value);
    }
    for (int k = 0; k < kRangeCount; ++k) {
        const RangeFields& r = job.ranges[k];
        if (encoding == JobEncoding::JobFile)
            ini.SetString(kOrdinseq, RangeKey(k, "Check"), BoolToText(r.check));
        else
            ini.SetInt(kOrdinseq, RangeKey(k, "Check"), r.check);
        ini.SetString(kOrdinseq, RangeKey(k, "Start"), r.start);
        ini.SetString(kOrdinseq, RangeKey(k, "End"), r.end);
    }
}

JobFileResult ReadJobFile(const std::string& path, Job& job, ProgramSettings& settings) {
    std::string text;
    int err = 0;
    switch (ReadRegularFile(path, text, &err)) {
    case ReadResult::Ok:
        break;
    case ReadResult::NotRegular:
        return {JobFileResult::Status::Failed, NotRegularFileText(path)};
    case ReadResult::TooLarge:
        return {JobFileResult::Status::Failed, TooLargeFileText(path)};
    case ReadResult::Failed:
        return {JobFileResult::Status::Failed, err ? FileErrorText(err, path) : std::string(kOpenFailedText)};
    }
    if (text.empty())
        return {JobFileResult::Status::Empty, {}};
    return ReadJobText(text, path, job, settings);
}

JobFileResult ReadJobText(std::string_view text, const std::string& path, Job& job,
                          ProgramSettings& settings) {
    IniStore ini;
    ini.Parse(text);
    Job read = ReadJobSections(ini, JobEncoding::JobFile);
    // A control character has no business in an address, a name or a path;
    // in a destination it would name a file nobody can type.
    for (const auto& t : kTextKeys)
        if (HasControlChars(read.*t.field))
            return {JobFileResult::Status::Failed,
                    path + " の " + t.key + " に制御文字が含まれているため、このジョブは使えません。"};
    job = std::move(read);
    if (TextToBool(ini.GetString("Program", "ReadProgramSettingByOpen", "0", kJobTextLimit)))
        ReadSettingsFromJob(ini, settings);
    return {};
}

JobFileResult WriteJobFile(const std::string& path, const Job& job, ProgramSettings& settings) {
    IniStore ini;
    WriteJobSections(ini, job, JobEncoding::JobFile);
    WriteSettingsToJob(ini, settings);
    int err = 0;
    if (!ini.Save(path, &err))
        return {JobFileResult::Status::Failed,
                err ? FileErrorText(err, path) : std::string(kCreateFailedText)};
    return {};
}

} // namespace ordinex
