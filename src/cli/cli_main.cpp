#include "cli/cli_commands.h"
#include "platform/version_record.h"
#include "platform/visible_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <curl/curl.h>
#include <string>
#include <vector>

namespace {

// Asked for (--help) the usage goes to standard output; after a usage error
// to standard error, so that it never mixes with a command's rows.
void PrintUsage(std::FILE* to) {
    std::fprintf(
        to,
        "使い方: ordinex-cli guess FIRST_URL [LAST_URL] [DEST_FOLDER]\n"
        "                                              例のURLから連番のジョブを推測して表示\n"
        "        ordinex-cli list JOB.odx              組み合わせごとに URL<TAB>保存先 を表示\n"
        "        ordinex-cli run [--failed-list FILE] [-j N] JOB.odx\n"
        "                                              ジョブをダウンロード (完了しなかったファイルを FILE "
        "に)\n"
        "        ordinex-cli ls URL                    FTPフォルダの一覧 "
        "(名前<TAB>サイズ<TAB>種類<TAB>更新日時)\n"
        "        ordinex-cli ls http://...             ページのリンク一覧 (同じ形式、設定の深さまで)\n"
        "        ordinex-cli fetch [--failed-list FILE] [-j N] JOB.odx URL...\n"
        "                                              FTP/Linkリストとしてダウンロード\n"
        "        -j N                                  N 個のファイルを同時にダウンロード "
        "(1〜16、設定より優先)\n"
        "        ordinex-cli --version                 バージョンを表示\n"
        "        ordinex-cli --help                    この使い方を表示\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return ordinex::cli::kExitOk;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", ordinex::VersionLine("ordinex-cli").c_str());
        return ordinex::cli::kExitOk;
    }
    const std::string command = argc >= 2 ? argv[1] : "";
    const bool fetch = command == "fetch";
    std::vector<std::string> args(argv + std::min(argc, 2), argv + argc);
    // run and fetch write what did not complete to a file when asked, and
    // take the number of files in flight for this run only.
    std::string failedList;
    int parallel = 0;
    while ((fetch || command == "run") && args.size() >= 2 &&
           (args[0] == "--failed-list" || args[0] == "-j")) {
        if (args[0] == "-j") {
            parallel = ordinex::cli::ParseParallel(args[1]);
            if (parallel == 0) {
                std::fprintf(stderr, "-j には 1 から 16 までの数を指定してください: %s\n",
                             ordinex::VisibleText(args[1]).c_str());
                return ordinex::cli::kExitBadInput;
            }
        } else {
            failedList = args[1];
        }
        args.erase(args.begin(), args.begin() + 2);
    }
    const bool argsFit = fetch                ? args.size() >= 2
                         : command == "guess" ? !args.empty() && args.size() <= 3
                                              : args.size() == 1;
    if (!argsFit) {
        PrintUsage(stderr);
        return ordinex::cli::kExitBadInput;
    }
    const std::string arg = args[0];
    curl_global_init(CURL_GLOBAL_DEFAULT);
    int status = ordinex::cli::kExitBadInput;
    if (command == "guess") {
        status = ordinex::cli::RunGuess(args);
    } else if (command == "list") {
        status = ordinex::cli::RunList(arg);
    } else if (command == "run") {
        status = ordinex::cli::RunDownload(arg, failedList, parallel);
    } else if (command == "ls") {
        status = ordinex::cli::IsWebAddress(arg) ? ordinex::cli::RunLinkLs(arg) : ordinex::cli::RunLs(arg);
    } else if (fetch) {
        status = ordinex::cli::RunFetch(arg, std::vector<std::string>(args.begin() + 1, args.end()),
                                        failedList, parallel);
    } else {
        std::fprintf(stderr, "不明なコマンド: %s\n", ordinex::VisibleText(command).c_str());
        PrintUsage(stderr);
    }
    curl_global_cleanup();
    return status;
}
