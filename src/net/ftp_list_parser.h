#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace ordinex {

// One entry of an FTP directory listing as the server wrote it.
struct ListedEntry {
    std::string name; // as listed: blanks, control characters and all
    bool directory = false;
    bool link = false;    // a symbolic link: what it points to is yet to be found
    int64_t size = -1;    // -1 when the listing gives no usable size
    std::string rawTime;  // the date fields, for FtpListDateText
    int64_t utcTime = -1; // seconds since 1970 when the listing gives the exact time (MLSD)
};

// Reads one line of a LIST reply, in the Unix form ("drwxr-xr-x 2 u g 4096
// Mar 04  2021 name", group column optional, "name -> target" for links) or
// the DOS form ("03-04-21  05:00PM  <DIR>  name"). False for a line that is
// neither, such as "total 12", and for "." and "..": such lines are skipped,
// the rest of the listing still counts. A size or date the program cannot
// use (negative, 2^63 and more, a day that does not exist) leaves the entry
// listed with that part unknown. The name is kept byte for byte, leading
// blanks and control characters included, so that the file can be asked for
// by its own name; whoever shows it makes it visible.
bool ParseFtpListLine(std::string_view line, ListedEntry& out);

// Reads one line of an MLSD reply ("type=file;size=12;modify=20210304120000; name").
// False for the entries of the folder itself and its parent, and for a line
// without facts.
bool ParseMlsdLine(std::string_view line, ListedEntry& out);

// Lines a listing may hold that are no entries and no fault: empty lines,
// "total N", "." and "..". Anything else a parser does not read is counted.
bool IsListingFiller(std::string_view line);

} // namespace ordinex
