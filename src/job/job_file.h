#pragma once
#include "job/job.h"

#include <string>
#include <string_view>

namespace ordinex {

class IniStore;
struct ProgramSettings;

// The job keys ("UrlFolder" and "Ordinseq") are stored in two places with
// different encodings: job files trim the six texts, write checks as "1"/"0"
// and return at most 259 bytes; the settings file keeps the last job as typed
// with integer checks.
enum class JobEncoding { JobFile, SettingsFile };

Job ReadJobSections(const IniStore& ini, JobEncoding encoding);
void WriteJobSections(IniStore& ini, const Job& job, JobEncoding encoding);

// Document default texts used when the file's own error gives no text.
inline constexpr const char* kOpenFailedText = "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。";
inline constexpr const char* kCreateFailedText = "無効なﾌｧｲﾙ名です。";
inline constexpr const char* kSaveFailedText = "ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。";

struct JobFileResult {
    enum class Status { Ok, Empty, Failed } status = Status::Ok;
    std::string message; // set for Failed
    bool ok() const { return status == Status::Ok; }
};

// Opens a job file. An empty file fails without a message. When the file says
// ReadProgramSettingByOpen=1 every setting it holds is taken over into
// settings (defaults for missing keys, never AllowOperationCheck).
JobFileResult ReadJobFile(const std::string& path, Job& job, ProgramSettings& settings);

// The part of ReadJobFile after the file has been read: the job and, when
// the text says so, the settings. Fails with a message when a text of the
// job holds a control character (a NUL or a line feed in a destination,
// for example); path names the file in that message.
JobFileResult ReadJobText(std::string_view text, const std::string& path, Job& job,
                          ProgramSettings& settings);

// Saves a job with a snapshot of the settings, replacing the whole file.
// A failed save leaves an existing file as it was.
JobFileResult WriteJobFile(const std::string& path, const Job& job, ProgramSettings& settings);

} // namespace ordinex
