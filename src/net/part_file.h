#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace ordinex {

// Where a download's data goes until it has arrived whole: ".NAME.part"
// beside the target, one name per target, so that what an interrupted
// attempt left is found again. Only then is it renamed over the target.
// What identifies the file an interrupted download was fetching, kept
// beside its temporary file so that a later attempt can continue it.
struct ResumeRecord {
    std::string url;
    std::string etag;     // HTTP: the entity tag, when the server sent one
    std::string modified; // HTTP: Last-Modified; FTP: the file's date, when known
    int64_t size = -1;    // the whole file's size, -1 when unknown
    // Something a server can be asked to compare: without it nothing resumes.
    bool HasValidator() const { return !etag.empty() || !modified.empty() || size >= 0; }
};

class PartFile {
public:
    // What an earlier attempt at target left for url: the bytes it holds
    // and what they were part of; nothing when there is nothing to continue.
    struct Leftover {
        int64_t bytes = 0;
        ResumeRecord record;
    };
    static std::optional<Leftover> FindLeftover(const std::string& target, const std::string& url);
    // Opens the temporary file of target to go on at byte `bytes`; -1 with
    // errno set when it is no longer the regular file of that length.
    int OpenForAppend(const std::string& target, int64_t bytes);
    // Keeps the record beside the temporary file; false when it cannot be
    // written (the next attempt then starts over).
    bool WriteRecord(const ResumeRecord& record);

    // Creates the temporary file for target, with mode (0: what the umask
    // leaves of 0666). What an earlier attempt left at the name makes room.
    // The descriptor, or -1 with errno set. remakeFolder: the folder was
    // there for the file before; if it is gone, it is made again.
    int Create(const std::string& target, mode_t mode, bool remakeFolder = false);
    const std::string& Path() const { return path_; }
    // Removes the temporary file and its record (a transfer that left nothing
    // worth keeping, or one that is complete under its final name).
    void Remove() const;
    // The target is complete: the record of the temporary file goes.
    void DropRecord() const {
        if (!path_.empty() && hasRecord_)
            ::unlink(RecordPath(path_).c_str());
    }
    // The record's name beside a temporary file.
    static std::string RecordPath(const std::string& partPath) { return partPath + ".resume"; }
    // Once the target is complete: removes what earlier attempts at it left
    // under unique names.
    void RemoveLeftovers(const std::string& target) const;

private:
    std::string path_;
    bool leftovers_ = false; // the plain name was taken when the file was made
    bool hasRecord_ = false; // a record was written beside it, or came with it
};

} // namespace ordinex
