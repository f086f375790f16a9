#pragma once
#include <string>
#include <vector>

namespace ordinex::test {

// A look into the toolkit's own message box, which wx shows natively: the
// tests read its buttons as the user sees them and answer it.
struct OpenMessageBox {
    bool found = false;
    std::vector<std::string> labels;         // the buttons present, of Yes, No, OK and Cancel in that order
    int x = 0, y = 0, width = 0, height = 0; // where the toolkit put it
};
OpenMessageBox FindOpenMessageBox();

// Presses the button of a wx answer (wxID_YES, wxID_NO, wxID_OK, wxID_CANCEL).
void AnswerOpenMessageBox(int wxId);

// A text of the toolkit's own catalog in the process's language.
std::string ToolkitText(const char* msgid);

} // namespace ordinex::test
