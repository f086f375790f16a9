#pragma once

namespace ordinex {

// While it lives, the keyboard, mouse and wheel input of the program's
// windows goes nowhere: the toolkit hands it to an invisible window that
// takes none, as it hands it to a modal dialog. Drawing and the window
// manager's requests go on as before.
class CInputHold {
public:
    CInputHold();
    ~CInputHold();
    CInputHold(const CInputHold&) = delete;
    CInputHold& operator=(const CInputHold&) = delete;

private:
    void* sink_ = nullptr; // the invisible window
};

} // namespace ordinex
