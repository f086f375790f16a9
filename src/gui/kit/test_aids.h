#pragma once
#include <vector>

namespace ordinex {

// Switches for the tests and the screenshot script, read from the
// environment; neither changes anything for a user who does not set them.

// ORDINEX_TEST_PROMPTS=1: message boxes are not shown; their text goes to
// standard error and the default button is taken.
bool PromptsAnsweredForTests();

// ORDINEX_AUTORUN=1: the numbered-series run starts by itself once start-up
// has completed.
bool AutoRunRequested();

// ORDINEX_AUTOCOMMAND=N: the menu command with that number (for example
// 57664, the version box) is carried out once start-up has completed;
// several numbers separated by commas are carried out one after the other
// (32788,32845: a run, then its report). Empty when unset.
std::vector<int> AutoCommandsRequested();

} // namespace ordinex
