// The desktop's title from media players on a private session bus.
#include "player/capture/DesktopTitle.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/TestPaths.h"

#include <dbus/dbus.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;

namespace {

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 5000ms) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return done();
}

void appendVariantString(DBusMessageIter* into, const char* key, const std::string& value) {
    DBusMessageIter entry, variant;
    dbus_message_iter_open_container(into, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
    dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
    dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, "s", &variant);
    const char* v = value.c_str();
    dbus_message_iter_append_basic(&variant, DBUS_TYPE_STRING, &v);
    dbus_message_iter_close_container(&entry, &variant);
    dbus_message_iter_close_container(into, &entry);
}

// A media player on the bus announcing a status and a title, as desktop players do.
class FakePlayer {
  public:
    struct Announce {
        std::string status = "Playing";
        std::string title;
        std::vector<std::string> artists;
        bool titleAsNumber = false; // a malformed title entry
    };

    FakePlayer(const std::string& address, const std::string& name, Announce a, bool answers = true)
        : announce(std::move(a)) {
        DBusError err;
        dbus_error_init(&err);
        conn = dbus_connection_open_private(address.c_str(), &err);
        if (conn && dbus_bus_register(conn, &err)) {
            std::string full = "org.mpris.MediaPlayer2." + name;
            dbus_bus_request_name(conn, full.c_str(), DBUS_NAME_FLAG_DO_NOT_QUEUE, &err);
        }
        dbus_error_free(&err);
        if (conn && answers) {
            worker = std::thread([this] { serve(); });
        }
    }
    ~FakePlayer() {
        quit = true;
        if (worker.joinable()) {
            worker.join();
        }
        if (conn) {
            dbus_connection_close(conn);
            dbus_connection_unref(conn);
        }
    }
    bool ok() const { return conn != nullptr; }
    void setStatus(const std::string& s) {
        std::lock_guard<std::mutex> lock(mutex);
        announce.status = s;
    }

  private:
    void serve() {
        while (!quit && dbus_connection_read_write(conn, 20)) {
            while (DBusMessage* m = dbus_connection_pop_message(conn)) {
                if (dbus_message_is_method_call(m, "org.freedesktop.DBus.Properties", "GetAll")) {
                    reply(m);
                }
                dbus_message_unref(m);
            }
        }
    }

    void reply(DBusMessage* call) {
        std::lock_guard<std::mutex> lock(mutex);
        DBusMessage* r = dbus_message_new_method_return(call);
        DBusMessageIter top, props, entry, variant, meta;
        dbus_message_iter_init_append(r, &top);
        dbus_message_iter_open_container(&top, DBUS_TYPE_ARRAY, "{sv}", &props);
        appendVariantString(&props, "PlaybackStatus", announce.status);
        const char* key = "Metadata";
        dbus_message_iter_open_container(&props, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
        dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
        dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, "a{sv}", &variant);
        dbus_message_iter_open_container(&variant, DBUS_TYPE_ARRAY, "{sv}", &meta);
        if (announce.titleAsNumber) {
            DBusMessageIter e, v;
            const char* k = "xesam:title";
            int32_t n = 42;
            dbus_message_iter_open_container(&meta, DBUS_TYPE_DICT_ENTRY, nullptr, &e);
            dbus_message_iter_append_basic(&e, DBUS_TYPE_STRING, &k);
            dbus_message_iter_open_container(&e, DBUS_TYPE_VARIANT, "i", &v);
            dbus_message_iter_append_basic(&v, DBUS_TYPE_INT32, &n);
            dbus_message_iter_close_container(&e, &v);
            dbus_message_iter_close_container(&meta, &e);
        } else if (!announce.title.empty()) {
            appendVariantString(&meta, "xesam:title", announce.title);
        }
        if (!announce.artists.empty()) {
            DBusMessageIter e, v, list;
            const char* k = "xesam:artist";
            dbus_message_iter_open_container(&meta, DBUS_TYPE_DICT_ENTRY, nullptr, &e);
            dbus_message_iter_append_basic(&e, DBUS_TYPE_STRING, &k);
            dbus_message_iter_open_container(&e, DBUS_TYPE_VARIANT, "as", &v);
            dbus_message_iter_open_container(&v, DBUS_TYPE_ARRAY, "s", &list);
            for (const std::string& a : announce.artists) {
                const char* s = a.c_str();
                dbus_message_iter_append_basic(&list, DBUS_TYPE_STRING, &s);
            }
            dbus_message_iter_close_container(&v, &list);
            dbus_message_iter_close_container(&e, &v);
            dbus_message_iter_close_container(&meta, &e);
        }
        dbus_message_iter_close_container(&variant, &meta);
        dbus_message_iter_close_container(&entry, &variant);
        dbus_message_iter_close_container(&props, &entry);
        dbus_message_iter_close_container(&top, &props);
        dbus_connection_send(conn, r, nullptr);
        dbus_connection_flush(conn);
        dbus_message_unref(r);
    }

    DBusConnection* conn = nullptr;
    std::mutex mutex;
    Announce announce;
    std::atomic<bool> quit{false};
    std::thread worker;
};

class DesktopTitleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(bus.start(error)) << error;
    }
    testsupport::ScratchDir dir;
    testsupport::PrivateBus bus{dir.path()};
};

} // namespace

TEST_F(DesktopTitleTest, ThePlayingPlayerNamesTheTitleWithItsArtists) {
    FakePlayer paused(bus.address(), "quiet", {"Paused", "Not this one", {}});
    FakePlayer playing(bus.address(), "tune", {"Playing", "Song", {"Ann", "Bo"}});
    ASSERT_TRUE(paused.ok() && playing.ok());

    auto players = mpris::listPlayers(bus.address(), 1000ms);
    ASSERT_EQ(players.size(), 2u);
    EXPECT_EQ(mpris::currentTitle(players), "Ann, Bo - Song");
}

TEST_F(DesktopTitleTest, WithoutAPlayingPlayerTheTitleIsDesktopAudioUntilOnePlays) {
    FakePlayer player(bus.address(), "tune", {"Paused", "Song", {}});
    ASSERT_TRUE(player.ok());
    EXPECT_EQ(mpris::currentTitle(mpris::listPlayers(bus.address(), 1000ms)), "");

    DesktopTitle title(bus.address(), 50ms);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(title.title(), "Desktop audio");
    player.setStatus("Playing");
    EXPECT_TRUE(waitFor([&] { return title.title() == "Song"; })) << title.title();
    player.setStatus("Stopped");
    EXPECT_TRUE(waitFor([&] { return title.title() == "Desktop audio"; })) << title.title();
}

TEST_F(DesktopTitleTest, SilentAndMalformedPlayersAreLeftOutWithoutHarm) {
    FakePlayer silent(bus.address(), "hung", {"Playing", "Hung", {}}, /*answers=*/false);
    FakePlayer odd(bus.address(), "odd", {"Playing", "", {}, /*titleAsNumber=*/true});
    FakePlayer good(bus.address(), "good", {"Playing", "Good", {}});
    ASSERT_TRUE(silent.ok() && odd.ok() && good.ok());

    auto begin = std::chrono::steady_clock::now();
    auto players = mpris::listPlayers(bus.address(), 300ms);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 2s);
    EXPECT_EQ(players.size(), 2u); // the hung one gave no answer
    EXPECT_EQ(mpris::currentTitle(players), "Good");
}

TEST(DesktopTitleNoBus, NoBusMeansNoPlayersAndTheFallbackTitle) {
    testsupport::ScratchDir dir;
    EXPECT_TRUE(mpris::listPlayers("unix:path=" + dir.file("none"), 200ms).empty());
    DesktopTitle title("unix:path=" + dir.file("none"), 20ms);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(title.title(), "Desktop audio");
}
