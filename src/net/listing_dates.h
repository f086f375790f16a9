#pragma once
#include <cstdint>
#include <ctime>
#include <string>

namespace ordinex {

// The date of an FTP listing line's time field as "%Y/%m/%d %H:%M": "Mar 04  2021"
// (a year, time 00:00), "Dec 08 17:00" (the year is the latest one that does
// not put the date after today), or the DOS form "03-04-21  05:00PM". Empty
// when the text is no such date. today: the current date, in UTC.
// Also "29 Jul 02:27", the Japanese "3月 2日 15:13" and "6月 3日 2003年",
// and "2005-06-07 21:22"; "24:00" is the next day's 00:00.
std::string FtpListDateText(const std::string& raw, const std::tm& today);

// An exact time (MLSD's, seconds since 1970 in UTC) in the local time zone,
// as "%Y/%m/%d %H:%M"; empty for -1.
std::string FtpExactDateText(int64_t utcSeconds);

// The date of an HTTP date header (RFC 1123, RFC 850 or asctime form) as
// "%Y/%m/%d %H:%M", taken as written, without converting its time zone.
// Empty when the text holds no date.
std::string HttpDateText(const std::string& header);

// The extension of a listed name: the text after its last ".", empty when the
// name has no "." or ends with one. Case is kept.
std::string ListedExtension(const std::string& name);

} // namespace ordinex
