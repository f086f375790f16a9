#pragma once

namespace ordinex {

// The toolkit's own texts (stock buttons, the file and folder dialogs)
// follow the desktop's language: the C library's locale is taken from the
// environment and wx's translations are loaded. Numbers keep the "C" format,
// which the program's texts and parsers expect. Call once after the toolkit
// has started.
void UseDesktopLanguage();

} // namespace ordinex
