#pragma once
#include <string>

class wxWindow;

namespace ordinex {

// A message box with the program's Japanese button texts ("はい", "いいえ",
// "キャンセル", "OK") whatever the desktop's language, centred over parent.
// style is wx's (wxYES_NO, wxOK, wxCANCEL, an icon, a default button); the
// answer is the program's: 6 Yes, 7 No, 1 OK, 2 Cancel.
int ShowMessageDialog(wxWindow* parent, const std::string& text, const std::string& caption, long style);

// A question with three buttons of its own: the first answers 6, the
// second 7, the third (also Escape) 2. The first is the default.
int ShowChoiceDialog(wxWindow* parent, const std::string& text, const std::string& caption, const char* first,
                     const char* second, const char* third);

// Maps a wx dialog answer onto the program's answers (1, 2, 6, 7).
int AnswerFromWx(int wxAnswer);

// The button texts a message box shows for its answer.
extern const char* const kYesText;
extern const char* const kNoText;
extern const char* const kCancelText;
extern const char* const kOkText;

} // namespace ordinex
