#pragma once
#include "platform/ui_hooks.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace ordinex::test {

// Records every write to the status area as "line:text" in order.
class RecordingStatusView : public IStatusView {
public:
    std::vector<std::string> events;
    std::string line1006, line1007, line1008, line1011, line1019, line1013, line1018;
    bool byteBarShown = false, fileBarShown = false;

    void SetUrlStatus(const std::string& t) override { Put("1007", line1007, t); }
    void SetFolderStatus(const std::string& t) override { Put("1008", line1008, t); }
    void SetStatusText(const std::string& t) override { Put("1006", line1006, t); }
    void SetStatusText2(const std::string& t) override { Put("1011", line1011, t); }
    void SetTransferStatus(const std::string& t) override { Put("1019", line1019, t); }
    void SetByteProgress(const std::string& t, int64_t range, int64_t pos) override {
        byteBarShown = true;
        Put("1013", line1013, t + " [" + std::to_string(pos) + "/" + std::to_string(range) + "]");
    }
    void ClearByteProgress() override {
        byteBarShown = false;
        Put("1013", line1013, "<clear>");
    }
    void SetFileProgress(const std::string& t, int64_t range, int64_t pos) override {
        fileBarShown = true;
        Put("1018", line1018, t + " [" + std::to_string(pos) + "/" + std::to_string(range) + "]");
    }
    void ClearFileProgress() override {
        fileBarShown = false;
        Put("1018", line1018, "<clear>");
    }
    std::string runResult;
    void ShowRunResult(const std::string& t) override { Put("result", runResult, t); }
    std::string detailFile, detailRun;
    int detailPercent = -1;
    void SetProgressDetail(const std::string& file, const std::string& run, int percent) override {
        detailFile = file;
        detailRun = run;
        detailPercent = percent;
    }
    std::string ended;
    void RunEnded(const std::string& result, double) override { Put("ended", ended, result); }
    // Texts written to one line, in order.
    std::vector<std::string> Line(const std::string& id) const {
        std::vector<std::string> out;
        for (const auto& e : events)
            if (e.compare(0, id.size() + 1, id + ":") == 0)
                out.push_back(e.substr(id.size() + 1));
        return out;
    }
    // The file-progress texts without their bar position, clears left out.
    std::vector<std::string> FileProgress() const {
        std::vector<std::string> texts;
        for (const auto& t : Line("1018"))
            if (t != "<clear>")
                texts.push_back(t.substr(0, t.find(" [")));
        return texts;
    }

private:
    void Put(const char* id, std::string& line, const std::string& text) {
        line = text;
        events.push_back(std::string(id) + ":" + text);
    }
};

// Answers prompts from a script and records what was asked.
class ScriptedPrompter : public IPrompter {
public:
    std::deque<int> answers; // next answers; kAnswerNo / kAnswerOk when empty
    std::vector<std::string> asked;
    int repaints = 0;
    bool exitRequested = false;
    std::function<void(const std::string&)> onWarning;

    int MessageBox(const std::string& text, MessageButtons buttons, MessageIcon, bool) override {
        asked.push_back("box:" + text);
        return Next(buttons == MessageButtons::YesNo ? kAnswerNo : kAnswerOk);
    }
    std::vector<std::string> subjects;
    int WarningDialog(const std::string& text, const std::string& subject) override {
        asked.push_back("dialog:" + text);
        subjects.push_back(subject);
        if (onWarning)
            onWarning(text);
        return Next(kAnswerNo);
    }
    void RepaintMainFrame() override { ++repaints; }
    void CloseMainWindowAndExit() override { exitRequested = true; }

private:
    int Next(int fallback) {
        if (answers.empty())
            return fallback;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
};

// Counts pumps and can press Stop after a given number of them.
class CountingPump : public IMessagePump {
public:
    int pumps = 0;
    int drains = 0;
    std::function<void(int)> onPump;
    void PumpOneMessage() override {
        ++pumps;
        if (onPump)
            onPump(pumps);
    }
    void DrainMessages() override { ++drains; }
};

class RecordingBusyWindows : public IBusyWindows {
public:
    std::vector<std::string> events;
    void EnterBusy() override { events.push_back("enter"); }
    void SetRunLayout(bool busy) override { events.push_back(busy ? "grow" : "shrink"); }
    void LeaveBusy() override { events.push_back("leave"); }
    void ShowBusyAnimation() override { events.push_back("animation-on"); }
    void DestroyBusyAnimation() override { events.push_back("animation-off"); }
};

} // namespace ordinex::test
