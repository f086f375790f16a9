#pragma once

class wxWindow;

namespace ordinex {

// The form was drawn for compact controls; GTK's default theme pads boxes,
// buttons, the menu bar and the toolbar far more. This loads a style sheet
// for the whole program that brings them back to compact sizes (the main
// window measures whatever they come to). Does nothing when GTK's style
// functions cannot be found.
void ApplyCompactStyle();

// Dialogs with many check boxes (the settings sheet) ask for those, their
// radio buttons and spin buttons to take no more height than their captions
// need, so that every option fits on the screen at the dialog's natural size.
void UseCompactChoices(wxWindow* dialog);

} // namespace ordinex
