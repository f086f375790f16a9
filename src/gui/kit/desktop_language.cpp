#include "gui/kit/desktop_language.h"

#include <wx/translation.h>
#include <wx/uilocale.h>

#include <clocale>

namespace ordinex {

void UseDesktopLanguage() {
    static bool done = false;
    if (done)
        return;
    done = true;
    // wxGTK leaves the process in the "C" locale, so GTK's dialogs stay in
    // English; a locale the system lacks leaves it there.
    wxUILocale::UseDefault();
    std::setlocale(LC_NUMERIC, "C");
    auto* translations = new wxTranslations;
    wxTranslations::Set(translations);
    translations->AddStdCatalog();
}

} // namespace ordinex
