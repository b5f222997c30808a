// The remote control's wire format, its server and its clients.
#include "player/remote/RemoteClient.h"
#include "player/remote/RemoteListener.h"
#include "player/remote/RemoteServer.h"
#include "tests/support/RemotePump.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using Pump = testsupport::RemotePump;

namespace {

int rawConnect(const std::string& path) {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Reads from fd until count newlines arrived or the peer closed.
std::string readLines(int fd, int count) {
    std::string text;
    char buf[256];
    while (std::count(text.begin(), text.end(), '\n') < count) {
        ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0) {
            break;
        }
        text.append(buf, size_t(n));
    }
    return text;
}

class RemoteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_EQ(server.listen(path, error), RemoteServer::Result::Listening) << error;
    }
    testsupport::ScratchDir dir;
    std::string path = dir.file("run/tonecrest/tcplayer.sock");
    RemoteServer server;
};

} // namespace

TEST(RemoteProtocol, EveryRequestSurvivesTheWire) {
    std::vector<RemoteRequest> requests = {
        RemoteRequest::ping(),
        RemoteRequest::foreground(),
        RemoteRequest::showPane("NowPlaying"),
        RemoteRequest::listen(),
        RemoteRequest::queue({"/music/x y.opus"}),
        RemoteRequest::open({"/music/a b/100% tune.flac", "/odd\nname\t.ogg", "/ütf-8/ß.mp3"})};
    for (const RemoteRequest& r : requests) {
        std::string line = remote::format(r);
        ASSERT_EQ(line.back(), '\n');
        ASSERT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
        auto back = remote::parse(line.substr(0, line.size() - 1));
        ASSERT_TRUE(back.has_value()) << line;
        EXPECT_TRUE(*back == r) << line;
    }
    EXPECT_TRUE(remote::parse("PING\r").has_value()); // a line ended the Windows way
}

TEST(RemoteProtocol, AnythingElseIsRejected) {
    for (const char* bad : {"", "HELLO", "ping", "PING now", "OPEN", "OPEN  /two-spaces",
                            "SHOW-PANE", "SHOW-PANE a b", "FOREGROUND please", "LISTEN now",
                            "QUEUE", "OPEN %ZZ", "OPEN %4", "OPEN /a%00b", "\x01\x02"}) {
        EXPECT_FALSE(remote::parse(bad).has_value()) << bad;
    }
    EXPECT_FALSE(remote::parse(std::string("PING\0", 5)).has_value());
    EXPECT_FALSE(remote::parse("OPEN /" + std::string(remote::kMaxLine, 'a')).has_value());
}

TEST_F(RemoteTest, ShowPaneAndForegroundReachThePlayerInOrder) {
    Pump pump(server);
    RemoteClient client;
    ASSERT_TRUE(client.connect(path));
    std::string answer;
    EXPECT_TRUE(client.request(RemoteRequest::showPane("NowPlaying"), 2s, &answer));
    EXPECT_EQ(answer, "OK");
    EXPECT_TRUE(client.request(RemoteRequest::foreground(), 2s));
    pump.stop();
    auto got = pump.requests();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_TRUE(got[0] == RemoteRequest::showPane("NowPlaying"));
    EXPECT_TRUE(got[1] == RemoteRequest::foreground());
}

TEST_F(RemoteTest, GarbageIsAnsweredAndIgnoredAndTheServerCarriesOn) {
    int fd = rawConnect(path);
    ASSERT_GE(fd, 0);
    Pump pump(server);
    std::string junk = std::string("\x01\x02\xff garbage\n") + "OPEN %ZZ\n" + "PING\n";
    ASSERT_EQ(send(fd, junk.data(), junk.size(), 0), ssize_t(junk.size()));
    EXPECT_EQ(readLines(fd, 3), "ERR not a request\nERR not a request\nOK\n");
    auto got = pump.requests(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_TRUE(got[0] == RemoteRequest::ping());

    // An endless line loses its connection, nothing more.
    std::string flood(remote::kMaxLine + 10000, 'x');
    send(fd, flood.data(), flood.size(), MSG_NOSIGNAL);
    std::string last = readLines(fd, 1);
    EXPECT_NE(last.find("ERR line too long"), std::string::npos) << last;
    EXPECT_EQ(readLines(fd, 1), ""); // then the connection is closed
    close(fd);

    EXPECT_TRUE(RemoteClient::ask(path, RemoteRequest::ping(), 2s));
    EXPECT_EQ(pump.requests(2).size(), 2u);
}

TEST_F(RemoteTest, APlayerThatIsGoneOrSilentFailsTheCallQuickly) {
    testsupport::ScratchDir other;
    EXPECT_FALSE(RemoteClient::ask(other.file("none.sock"), RemoteRequest::ping(), 1s));

    // Listening but never answering: the call gives up at its timeout.
    auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(RemoteClient::ask(path, RemoteRequest::ping(), 200ms));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 1500ms);

    // The player goes away between two requests of a connected client.
    RemoteClient client;
    ASSERT_TRUE(client.connect(path));
    server.close();
    EXPECT_FALSE(client.request(RemoteRequest::foreground(), 500ms));
    EXPECT_FALSE(client.request(RemoteRequest::foreground(), 500ms)); // no signal on reuse
    EXPECT_FALSE(RemoteClient::ask(path, RemoteRequest::ping(), 200ms));
}

TEST_F(RemoteTest, OnePlayerPerSocketAndALeftoverSocketIsReplaced) {
    RemoteServer second;
    std::string error;
    EXPECT_EQ(second.listen(path, error), RemoteServer::Result::AlreadyRunning);

    server.close();
    // A crashed player leaves its socket file behind.
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    close(fd);
    ASSERT_TRUE(testsupport::fileExists(path));

    ASSERT_EQ(second.listen(path, error), RemoteServer::Result::Listening) << error;
    Pump pump(second);
    EXPECT_TRUE(RemoteClient::ask(path, RemoteRequest::ping(), 2s));
    pump.stop();
    second.close();
    EXPECT_FALSE(testsupport::fileExists(path));
}

TEST_F(RemoteTest, ASecondInstanceHandsItsFilesToTheFirst) {
    std::vector<std::string> files = {"/music/one.flac", "/music/two words.mp3"};
    Pump pump(server);
    EXPECT_TRUE(remote::handOver(path, files, 2s));
    auto got = pump.requests(2);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_TRUE(got[0] == RemoteRequest::open(files));
    EXPECT_TRUE(got[1] == RemoteRequest::foreground());

    // Far more than one line holds: an OPEN, then QUEUEs, every file once and in order.
    std::vector<std::string> many;
    for (int i = 0; i < 5000; ++i) {
        many.push_back("/home/someone/Music/Some Artist/An Album/" + std::to_string(i) +
                       " - a song with a long name.flac");
    }
    EXPECT_TRUE(remote::handOver(path, many, 5s));
    std::vector<std::string> carried;
    std::vector<RemoteRequest> parts;
    for (auto end = std::chrono::steady_clock::now() + 5s;
         std::chrono::steady_clock::now() < end &&
         (parts.empty() || !(parts.back() == RemoteRequest::foreground()));) {
        parts = pump.requests();
        parts.erase(parts.begin(), parts.begin() + 2);
        std::this_thread::sleep_for(10ms);
    }
    pump.stop();
    ASSERT_GE(parts.size(), 3u);
    EXPECT_EQ(parts.front().kind, RemoteRequest::Kind::Open);
    EXPECT_TRUE(parts.back() == RemoteRequest::foreground());
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        EXPECT_EQ(parts[i].kind, i ? RemoteRequest::Kind::Queue : RemoteRequest::Kind::Open);
        EXPECT_LE(remote::format(parts[i]).size(), remote::kMaxLine);
        carried.insert(carried.end(), parts[i].files.begin(), parts[i].files.end());
    }
    EXPECT_EQ(carried, many);

    server.close();
    EXPECT_FALSE(remote::handOver(path, files, 500ms));
}

TEST(RemoteListener, HandsRequestsToItsHandlerOnItsOwnThreadUntilStopped) {
    testsupport::ScratchDir dir;
    std::string path = dir.file("tcplayer.sock");
    std::mutex mutex;
    std::vector<RemoteRequest> got;
    RemoteListener listener;
    std::string error;
    ASSERT_EQ(listener.start(
                  path,
                  [&](const RemoteRequest& r) {
                      std::lock_guard<std::mutex> lock(mutex);
                      got.push_back(r);
                  },
                  error),
              RemoteServer::Result::Listening)
        << error;
    EXPECT_TRUE(remote::handOver(path, {"/music/a.flac"}, 2s));

    RemoteListener second;
    EXPECT_EQ(second.start(
                  path, [](const RemoteRequest&) {}, error),
              RemoteServer::Result::AlreadyRunning);

    listener.stop();
    EXPECT_FALSE(RemoteClient::ask(path, RemoteRequest::ping(), 300ms));
    std::lock_guard<std::mutex> lock(mutex);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_TRUE(got[0] == RemoteRequest::open({"/music/a.flac"}));
    EXPECT_TRUE(got[1] == RemoteRequest::foreground());
}

namespace {

TEST(RemoteListener, AFloodingClientCannotStallTheOthers) {
    testsupport::ScratchDir dir;
    std::string path = dir.file("tcplayer.sock");
    std::atomic<long> pings{0};
    RemoteListener listener;
    std::string error;
    ASSERT_EQ(listener.start(
                  path, [&](const RemoteRequest&) { ++pings; }, error),
              RemoteServer::Result::Listening)
        << error;
    // A local client streams PING lines as fast as it can and never reads an answer.
    std::atomic<bool> stop{false};
    std::atomic<long> sent{0};
    std::thread flood([&] {
        int fd = rawConnect(path);
        std::string burst;
        for (int i = 0; i < 8192; ++i) {
            burst += "PING\n";
        }
        while (fd >= 0 && !stop) {
            ssize_t n = send(fd, burst.data(), burst.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                sent += n;
            } else if (errno != EAGAIN && errno != EINTR) {
                close(fd); // dropped: a flooder comes straight back
                fd = rawConnect(path);
            }
        }
        if (fd >= 0) {
            close(fd);
        }
    });
    while (sent < 1 << 20) {
        std::this_thread::sleep_for(5ms);
    }
    // Meanwhile another client's PINGs are answered at once.
    for (int i = 0; i < 5; ++i) {
        auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(RemoteClient::ask(path, RemoteRequest::ping(), 2s));
        EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms) << "ping " << i;
        std::this_thread::sleep_for(50ms);
    }
    stop = true;
    flood.join();
    listener.stop();
    EXPECT_GT(pings, 5);
}

} // namespace
