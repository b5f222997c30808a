#include "tests/support/PrivateBus.h"

#include "tests/support/TestPaths.h"

#include <chrono>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <cstring>

namespace testsupport {

namespace {

bool accepts(const std::string& path) {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}

} // namespace

PrivateBus::PrivateBus(const std::string& dir) : folder(dir), socket(dir + "/bus") {}

PrivateBus::~PrivateBus() {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}

bool PrivateBus::start(std::string& error) {
    std::string listen = "--address=unix:path=" + socket;
    std::string log = folder + "/dbus.log";
    int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    pid = fork();
    if (pid == 0) {
        dup2(logFd, 1);
        dup2(logFd, 2);
        execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile", listen.c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(logFd);
    for (int i = 0; i < 100 && pid > 0; ++i) {
        if (accepts(socket)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    error = "dbus-daemon did not start:\n" + readFile(log);
    return false;
}

} // namespace testsupport
