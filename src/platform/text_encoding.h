#pragma once
#include <string>
#include <string_view>

namespace ordinex {

bool IsValidUtf8(std::string_view text);

// Texts in the program are UTF-8. Job and settings files written by older
// Japanese systems are Shift-JIS (code page 932): such text is converted;
// bytes that are neither become U+FFFD, so a window never receives text it
// cannot show.
std::string ToValidUtf8(std::string_view text);

// Control characters (C0, DEL and the C1 range) replaced by "?", so that
// text from a server or a file can reach a terminal, a log or a window
// without moving the cursor, changing colours or faking lines.
std::string ReplaceControlChars(std::string_view text);
bool HasControlChars(std::string_view text);

// Names on an FTP server that writes them in charset ("UTF-8", "Shift_JIS"
// or "EUC-JP"). FromCharset reads them as UTF-8; bytes that do not convert
// are kept as they are (and shown as \xHH). ToCharset writes a UTF-8 name in
// the server's charset; a name that does not convert goes as it is.
std::string FromCharset(std::string_view bytes, const std::string& charset);
std::string ToCharset(std::string_view utf8, const std::string& charset);

// At most maxBytes bytes of a UTF-8 text, never ending inside a character.
std::string CutAtCharBoundary(std::string_view text, std::size_t maxBytes);

} // namespace ordinex
