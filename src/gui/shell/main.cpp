#include "gui/kit/toolkit_gl.h"
#include "gui/shell/ordinex_wx_app.h"
#include "platform/instance_channel.h"
#include "platform/version_record.h"
#include "ui/start_options.h"

#include <wx/init.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

wxIMPLEMENT_APP_NO_MAIN(ordinex::COrdinexWxApp);

// The command-line conventions and the hand-off to a running instance come
// before the toolkit: neither needs a display, and a second start that hands
// its job over ends at once.
int main(int argc, char** argv) {
    using namespace ordinex;
    const StartOptions options = ParseStartOptions(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
    case StartOptions::Action::Help:
        std::fputs(StartUsageText().c_str(), stdout);
        return 0;
    case StartOptions::Action::Version:
        std::printf("%s\n", VersionLine("ordinex").c_str());
        return 0;
    case StartOptions::Action::UsageError:
        std::fprintf(stderr, "%s\n%s", options.error.c_str(), StartUsageText().c_str());
        return 2;
    case StartOptions::Action::Start:
        break;
    }
    // A relative name is taken from the folder the program was started in,
    // before anything changes folder, and is read as a path only.
    std::string job;
    if (!options.job.empty()) {
        std::error_code error;
        job = std::filesystem::absolute(options.job, error).lexically_normal().string();
        if (error)
            job = options.job;
    }
    if (HandOffToRunningInstance(job) == HandOffResult::Delivered)
        return 0;

    std::error_code noFolder;
    const std::string startFolder = std::filesystem::current_path(noFolder).string();
    if (options.desktop) {
        const std::string folder = DesktopSettingsFolder();
        if (!EnterDesktopSettingsFolder(folder))
            std::fprintf(stderr, "ordinex: %s: %s\n", folder.c_str(), std::strerror(errno));
        else if (!noFolder)
            COrdinexWxApp::SetNewJobFolder(startFolder);
    }
    std::vector<char*> wxArgs{argv[0]};
    if (!job.empty())
        wxArgs.push_back(job.data());
    wxArgs.push_back(nullptr);
    int wxArgc = static_cast<int>(wxArgs.size()) - 1;
    SkipToolkitGlAtStart();
    return wxEntry(wxArgc, wxArgs.data());
}
