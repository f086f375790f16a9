// The hand-off of a second start's job file to the running instance, over
// real Unix sockets in a runtime folder of the test's own.
#include "platform/instance_channel.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <future>
#include <thread>

namespace ordinex::test {
namespace {

using namespace std::chrono_literals;

TEST(HandOffMessage, OnlyAnAbsolutePathOrNothingInAWellFormedRequestIsTaken) {
    using namespace std::string_literals;
    const std::string header = "ordinex-open 1\n";
    struct Case {
        std::string message;
        std::optional<std::string> path;
    };
    const std::vector<Case> cases = {
        {EncodeHandOff("/home/me/job.odx"), "/home/me/job.odx"},
        {EncodeHandOff("/a b/ジョブ.odx"), "/a b/ジョブ.odx"},
        {EncodeHandOff("/odd\nname.odx"), "/odd\nname.odx"}, // a path, never a command line
        {EncodeHandOff(""), ""},
        {header + "job.odx" + "\0"s, std::nullopt},
        {header + "../job.odx" + "\0"s, std::nullopt},
        {header + "/job.odx", std::nullopt},
        {header + "/a\0/b"s + "\0"s, std::nullopt},
        {"ordinex-open 2\n/job.odx\0"s, std::nullopt},
        {"/job.odx\0"s, std::nullopt},
        {"", std::nullopt},
        {header + "/" + std::string(70000, 'a') + "\0"s, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.substr(0, 40));
        EXPECT_EQ(DecodeHandOff(c.message), c.path);
    }
}

class HandOff : public ::testing::Test {
protected:
    TempDir runtime;
    ScopedEnv env{"XDG_RUNTIME_DIR", runtime.path()};

    // Polls the listener until a request arrives or a generous bound passes.
    std::vector<std::string> PollUntilSome(HandOffListener& listener) {
        for (int i = 0; i < 500; ++i) {
            std::vector<std::string> paths = listener.Poll();
            if (!paths.empty())
                return paths;
            std::this_thread::sleep_for(10ms);
        }
        return {};
    }

    // Writes raw bytes to the socket as a client would and returns the answer.
    std::string SendRaw(const std::string& bytes, HandOffListener& listener) {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, HandOffSocketPath().c_str());
        EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
        shutdown(fd, SHUT_WR);
        EXPECT_TRUE(listener.Poll().empty());
        char buffer[16];
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        close(fd);
        return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
    }
};

TEST_F(HandOff, ARequestReachesTheListenerAndIsAnswered) {
    HandOffListener listener;
    ASSERT_TRUE(listener.Listen());
    struct stat info {};
    ASSERT_EQ(stat(HandOffSocketPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "only this user may connect";

    for (const std::string path : {"/tmp/x/job one.odx", ""}) {
        auto sent = std::async(std::launch::async, [path] { return HandOffToRunningInstance(path); });
        EXPECT_EQ(PollUntilSome(listener), std::vector<std::string>{path});
        EXPECT_EQ(sent.get(), HandOffResult::Delivered);
    }
    listener.Close();
    EXPECT_FALSE(std::filesystem::exists(HandOffSocketPath()));
    EXPECT_EQ(HandOffToRunningInstance("/j.odx"), HandOffResult::NoInstance);
}

TEST_F(HandOff, NobodyListeningOrALeftOverSocketMeansNoInstance) {
    EXPECT_EQ(HandOffToRunningInstance("/j.odx"), HandOffResult::NoInstance);
    // What an instance that was killed leaves behind: the socket file, bound by nobody.
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, HandOffSocketPath().c_str());
        ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        close(fd);
    }
    EXPECT_EQ(HandOffToRunningInstance("/j.odx"), HandOffResult::NoInstance);
    // A plain file under the socket's name is nobody's socket either.
    std::filesystem::remove(HandOffSocketPath());
    WriteFile(HandOffSocketPath(), "x");
    EXPECT_EQ(HandOffToRunningInstance("/j.odx"), HandOffResult::NoInstance);
    // The next instance takes the name over.
    HandOffListener listener;
    ASSERT_TRUE(listener.Listen());
    auto sent = std::async(std::launch::async, [] { return HandOffToRunningInstance("/j.odx"); });
    EXPECT_EQ(PollUntilSome(listener), std::vector<std::string>{"/j.odx"});
    EXPECT_EQ(sent.get(), HandOffResult::Delivered);
}

TEST_F(HandOff, MalformedOrSilentClientsAreIgnoredAndTheNextRequestStillWorks) {
    HandOffListener listener;
    ASSERT_TRUE(listener.Listen());
    EXPECT_EQ(SendRaw("ordinex-open 1\nrelative.odx", listener), "") << "no answer, nothing taken";
    EXPECT_EQ(SendRaw(std::string(100000, 'x'), listener), "");

    // A client that connects and says nothing costs the window a bounded wait only.
    const int silent = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, HandOffSocketPath().c_str());
    ASSERT_EQ(connect(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(listener.Poll().empty());
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    close(silent);

    auto sent = std::async(std::launch::async, [] { return HandOffToRunningInstance("/ok.odx"); });
    EXPECT_EQ(PollUntilSome(listener), std::vector<std::string>{"/ok.odx"});
    EXPECT_EQ(sent.get(), HandOffResult::Delivered);
}

TEST_F(HandOff, AnInstanceThatDoesNotAnswerFailsTheHandOffInTime) {
    HandOffListener listener;
    ASSERT_TRUE(listener.Listen());
    // Listening, never polled: the second start gives up and says so.
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(HandOffToRunningInstance("/j.odx", 300), HandOffResult::Failed);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 10s);
}

} // namespace
} // namespace ordinex::test
