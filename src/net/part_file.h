#pragma once
#include <string>
#include <sys/types.h>

namespace ordinex {

// Where a download's data goes until it has arrived whole: ".NAME.part"
// beside the target, one name per target, so that what an interrupted
// attempt left is found again. Only then is it renamed over the target.
class PartFile {
public:
    // Creates the temporary file for target, with mode (0: what the umask
    // leaves of 0666). What an earlier attempt left at the name makes room.
    // The descriptor, or -1 with errno set.
    int Create(const std::string& target, mode_t mode);
    const std::string& Path() const { return path_; }
    // Removes the temporary file (a transfer that left nothing worth keeping).
    void Remove() const;
    // Once the target is complete: removes what earlier attempts at it left
    // under unique names.
    void RemoveLeftovers(const std::string& target) const;

private:
    std::string path_;
    bool leftovers_ = false; // the plain name was taken when the file was made
};

} // namespace ordinex
