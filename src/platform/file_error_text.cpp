#include "platform/file_error_text.h"

#include "platform/file_system.h"

#include <cerrno>

namespace ordinex {

namespace {

std::string Fill(const char* pattern, const std::string& path) {
    std::string text = pattern;
    const auto at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    return text;
}

bool FolderOfPathExists(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return true;
    return IsDirectory(slash == 0 ? "/" : path.substr(0, slash));
}

} // namespace

std::string FileErrorText(int err, const std::string& path) {
    switch (err) {
    case 0:
        return "ｴﾗｰはありませんでした。";
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        // A missing folder makes the whole path bad; a missing file is only not found.
        return FolderOfPathExists(path) && err == ENOENT ? Fill("%1 が見つかりませんでした。", path)
                                                         : Fill("%1 には無効なﾊﾟｽが含まれています。", path);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return Fill("%1 へのｱｸｾｽは拒否されました。", path);
    case EMFILE:
    case ENFILE:
        return Fill("開いているﾌｧｲﾙが多すぎるため、%1 を開けませんでした。", path);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return Fill("%1 へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。", path);
    case EIO:
        return Fill("%1 へのｱｸｾｽ中にﾊｰﾄﾞｳｪｱ I/O ｴﾗｰが報告されました。", path);
    case EBADF:
        return Fill("%1 へ無効なﾌｧｲﾙ ﾊﾝﾄﾞﾙが関連付けられていました。", path);
    case ESPIPE:
        return Fill("%1 のｼｰｸに失敗しました。", path);
    case EWOULDBLOCK:
        return Fill("%1 へのｱｸｾｽ中にﾛｯｸ違反が発生しました。", path);
    default:
        return Fill("%1 へのｱｸｾｽ中に不明なｴﾗｰが発生しました。", path);
    }
}

} // namespace ordinex
