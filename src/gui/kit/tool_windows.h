#pragma once
#include <vector>

class wxTopLevelWindow;

namespace ordinex {

// The tool windows (the FTP and Link tree & list windows, the browser) come
// and go with the main window: each registers itself while it exists.
void RegisterToolWindow(wxTopLevelWindow* window);
void UnregisterToolWindow(wxTopLevelWindow* window);
std::vector<wxTopLevelWindow*> ToolWindows();

// The main window was activated: hidden tool windows are shown again without
// taking the focus, and the main window goes back on top of them.
void ShowToolWindowsBehind(wxTopLevelWindow& mainWindow);
// The main window was minimized: the tool windows disappear with it.
void HideToolWindows();
// Shutdown: every tool window is destroyed (saving its state) now.
void DestroyToolWindows();

} // namespace ordinex
