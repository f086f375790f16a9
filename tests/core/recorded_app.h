#pragma once
#include "app/ordinex_app.h"
#include "recording_ui.h"

namespace ordinex::test {

// The application of a run test, its status area, prompts and pump recorded.
struct RecordedApp {
    COrdinexApp app;
    RecordingStatusView view;
    ScriptedPrompter prompter;
    CountingPump pump;

    RecordedApp() {
        app.SetStatusView(&view);
        app.SetPrompter(&prompter);
        app.SetMessagePump(&pump);
    }
    RecordedApp(const RecordedApp&) = delete;
    RecordedApp& operator=(const RecordedApp&) = delete;
};

} // namespace ordinex::test
