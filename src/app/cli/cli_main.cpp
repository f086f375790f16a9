#include "app/cli/cli_commands.h"

#include <cstdio>
#include <cstring>
#include <curl/curl.h>
#include <string>

namespace {

void PrintUsage() {
    std::fprintf(stderr, "使い方: ordinex-cli list JOB.odx    組み合わせごとに URL<TAB>保存先 を表示\n"
                         "        ordinex-cli run JOB.odx     ジョブをダウンロード\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage();
        return ordinex::cli::kExitOk;
    }
    if (argc != 3) {
        PrintUsage();
        return ordinex::cli::kExitBadInput;
    }
    const std::string command = argv[1];
    const std::string job = argv[2];
    curl_global_init(CURL_GLOBAL_DEFAULT);
    int status = ordinex::cli::kExitBadInput;
    if (command == "list") {
        status = ordinex::cli::RunList(job);
    } else if (command == "run") {
        status = ordinex::cli::RunDownload(job);
    } else {
        std::fprintf(stderr, "不明なコマンド: %s\n", command.c_str());
        PrintUsage();
    }
    curl_global_cleanup();
    return status;
}
