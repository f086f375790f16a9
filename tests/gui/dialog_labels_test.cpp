// Japanese buttons on every message box whatever the locale, and the
// toolkit's own texts in the desktop's language. CTest runs these once more
// under LC_ALL=C and under ja_JP.UTF-8 (ORDINEX_TEST_LANGUAGE=ja).
#include "app/ordinex_app.h"
#include "gtk_probe.h"
#include "gui/kit/wx_prompter.h"
#include "gui_support.h"
#include "ui/command_ids.h"
#include "ui/form_ids.h"

#include <gtest/gtest.h>
#include <wx/stockitem.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace ordinex::test {
namespace {

bool JapaneseDesktop() {
    const char* language = std::getenv("ORDINEX_TEST_LANGUAGE");
    return language && std::strcmp(language, "ja") == 0;
}

// Opens a message box through open(), reads it as shown and presses press.
struct Seen {
    OpenMessageBox box;
    int answer = -1;
};
Seen ShowAndPress(const std::function<int()>& open, int press) {
    Seen seen;
    Later look(300, [&] {
        seen.box = FindOpenMessageBox();
        AnswerOpenMessageBox(press);
    });
    seen.answer = open();
    return seen;
}

TEST(DialogLabels, MessageBoxesAndTheSaveQuestionAnswerInJapanese) {
    GuiApp gui;
    ASSERT_TRUE(gui.Start());
    CMainFrame* frame = gui.frame();
    PumpFor(200);
    WxPrompter prompter([&]() -> wxWindow* { return gui.frame(); });
    using Labels = std::vector<std::string>;
    struct Row {
        const char* name;
        std::function<int()> open;
        Labels labels;
        int press;
        int answer;
    } rows[] = {
        {"pause prompt",
         [&] {
             return prompter.MessageBox("動作を確認してください。", MessageButtons::OkCancel,
                                        MessageIcon::Information, false);
         },
         {"OK", "キャンセル"},
         wxID_CANCEL,
         kAnswerCancel},
        {"end question",
         [&] {
             return prompter.MessageBox("プログラムを終了しますか。", MessageButtons::YesNo,
                                        MessageIcon::Information, true);
         },
         {"はい", "いいえ"},
         wxID_NO,
         kAnswerNo},
        {"message",
         [&] {
             return prompter.MessageBox("Browserが開けません", MessageButtons::Ok, MessageIcon::Information,
                                        false);
         },
         {"OK"},
         wxID_OK,
         kAnswerOk},
        {"save question",
         [&] {
             gui.app().settings.ConfirmSaveUrlFolderSettingByExit = 1;
             Type(TextBox(gui.view(), form::kUrlBase), "h");
             frame->RunCommand(cmd::kFileNew);
             return gui.shell().Document().IsModified() ? kAnswerCancel : -1;
         },
         {"はい", "いいえ", "キャンセル"},
         wxID_CANCEL,
         kAnswerCancel},
    };
    for (const Row& r : rows) {
        const Seen seen = ShowAndPress(r.open, r.press);
        ASSERT_TRUE(seen.box.found) << r.name;
        EXPECT_EQ(seen.box.labels, r.labels) << r.name;
        EXPECT_EQ(seen.answer, r.answer) << r.name;
        // Over the main frame, centred on it.
        const wxPoint centre = frame->GetRect().GetPosition() + frame->GetSize() / 2;
        EXPECT_NEAR(seen.box.x + seen.box.width / 2, centre.x, 40) << r.name;
        EXPECT_NEAR(seen.box.y + seen.box.height / 2, centre.y, 40) << r.name;
    }
}

TEST(DialogLabels, ToolkitTextsFollowTheDesktopLanguage) {
    const std::string messages = std::setlocale(LC_MESSAGES, nullptr);
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C") << "numbers keep one format";
    if (!JapaneseDesktop()) {
        GTEST_SKIP() << "desktop language " << messages;
    }
    EXPECT_EQ(messages.rfind("ja_JP", 0), 0u)
        << "the ja_JP.UTF-8 locale is missing (scripts/install-deps.sh makes it)";
    EXPECT_EQ(wxGetStockLabel(wxID_CANCEL, wxSTOCK_NOFLAGS), wxString::FromUTF8("キャンセル"));
    EXPECT_EQ(ToolkitText("_Cancel"), "キャンセル(_C)");
    EXPECT_EQ(ToolkitText("_Open"), "開く(_O)");
}

} // namespace
} // namespace ordinex::test
