#include "runs/target_composition.h"

#include "platform/text_encoding.h"
#include "platform/text_helpers.h"
#include "platform/url_test.h"
#include "settings/program_settings.h"

namespace ordinex {

namespace {
constexpr char kLocalSeparator = '/';
}

std::string InsertedSeparator(std::string_view base, std::string_view expansion, char separator,
                              bool insertSeparator) {
    if (insertSeparator && !base.empty() && !expansion.empty() && base.back() != separator &&
        expansion.front() != separator)
        return std::string(1, separator);
    return {};
}

std::string ComposeBoxes(std::string_view base, std::string_view expansion, char separator,
                         bool insertSeparator, bool deleteRepeats) {
    const std::string b = TrimBlanks(base);
    std::string e = TrimBlanks(expansion);
    if (deleteRepeats && !b.empty() && b.back() == separator && !e.empty() && e.front() == separator)
        e.erase(0, 1);
    return TrimBlanks(b + InsertedSeparator(base, expansion, separator, insertSeparator) + e);
}

std::string ComposeUrl(const Job& job, const ProgramSettings& s) {
    return ComposeBoxes(job.urlBase, job.urlExpansion, '/', s.InsertSeparatorOfUrlSetting != 0,
                        s.DeleteSeparatorOfURLRepeatsSetting != 0);
}

std::string ComposeFolder(const Job& job, const ProgramSettings& s) {
    return ComposeBoxes(job.folderBase, job.folderExpansion, kLocalSeparator,
                        s.InsertSeparatorOfFolderSetting != 0, s.DeleteSeparatorOfFolderRepeatsSetting != 0);
}

std::string UrlSeparatorLabel(const Job& job, const ProgramSettings& s) {
    return InsertedSeparator(job.urlBase, job.urlExpansion, '/', s.InsertSeparatorOfUrlSetting != 0);
}

std::string FolderSeparatorLabel(const Job& job, const ProgramSettings& s) {
    return InsertedSeparator(job.folderBase, job.folderExpansion, kLocalSeparator,
                             s.InsertSeparatorOfFolderSetting != 0);
}

} // namespace ordinex
