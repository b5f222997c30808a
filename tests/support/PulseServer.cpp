#include "tests/support/PulseServer.h"

#include <pulse/simple.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/TestPaths.h"

extern char** environ;

namespace testsupport {

PulseServer::PulseServer(const std::string& dir, std::vector<std::string> mods)
    : folder(dir), socket(dir + "/native"), modules(std::move(mods)) {}

PulseServer::~PulseServer() {
    kill();
}

bool PulseServer::start(std::string& error) {
    if (pid > 0) {
        return true;
    }
    std::string runtime = folder + "/runtime";
    mkdir(runtime.c_str(), 0700);
    std::vector<std::string> args = {"pulseaudio",
                                     "-n",
                                     "--daemonize=no",
                                     "--exit-idle-time=-1",
                                     "--use-pid-file=no",
                                     "--disable-shm=yes",
                                     "--log-target=stderr",
                                     "-L",
                                     "module-native-protocol-unix socket=" + socket +
                                         " auth-anonymous=1"};
    for (const std::string& m : modules) {
        args.push_back("-L");
        args.push_back(m);
    }
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string v = *e;
        if (v.rfind("HOME=", 0) && v.rfind("XDG_RUNTIME_DIR=", 0) && v.rfind("PULSE_", 0) &&
            v.rfind("DBUS_SESSION_BUS_ADDRESS=", 0)) {
            env.push_back(v);
        }
    }
    env.push_back("HOME=" + folder);
    env.push_back("XDG_RUNTIME_DIR=" + runtime);
    env.push_back("PULSE_RUNTIME_PATH=" + runtime);
    std::vector<char*> argv, envp;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    for (auto& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::string log = folder + "/pulse.log";
    int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    unlink(socket.c_str());
    pid = fork();
    if (pid == 0) {
        int nul = open("/dev/null", O_RDONLY);
        dup2(nul, 0);
        dup2(logFd, 1);
        dup2(logFd, 2);
        execvpe("pulseaudio", argv.data(), envp.data());
        _exit(127);
    }
    close(logFd);
    if (pid < 0) {
        error = "fork failed";
        return false;
    }
    for (int i = 0; i < 100; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            break;
        }
        if (!pactl("info").empty()) {
            return true;
        }
    }
    error = "pulseaudio did not start:\n" + readFile(log);
    kill();
    return false;
}

void PulseServer::kill() {
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }
}

std::string PulseServer::pactl(const std::string& args) const {
    std::string cmd = "pactl -s " + address() + " " + args + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) {
        return "";
    }
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) {
        out.append(buf, n);
    }
    return pclose(p) == 0 ? out : "";
}

int PulseServer::sourceIndex(const std::string& name) const {
    std::istringstream lines(pactl("list sources short"));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        int index;
        std::string n;
        if (fields >> index >> n && n == name) {
            return index;
        }
    }
    return -1;
}

std::vector<int> PulseServer::recordingSources() const {
    // Lines: index, source index, client, driver, sample format.
    std::vector<int> sources;
    std::istringstream lines(pactl("list source-outputs short"));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        int index, source;
        if (fields >> index >> source) {
            sources.push_back(source);
        }
    }
    return sources;
}

bool playSamples(const std::string& address, const std::string& sink,
                 const std::vector<float>& samples) {
    pa_sample_spec format{PA_SAMPLE_FLOAT32NE, 44100, 1};
    int err = 0;
    pa_simple* s = pa_simple_new(address.c_str(), "tone", PA_STREAM_PLAYBACK, sink.c_str(),
                                 "test tone", &format, nullptr, nullptr, &err);
    if (!s) {
        return false;
    }
    bool ok = pa_simple_write(s, samples.data(), samples.size() * sizeof(float), &err) == 0 &&
              pa_simple_drain(s, &err) == 0;
    pa_simple_free(s);
    return ok;
}

bool playTone(const std::string& address, const std::string& sink, double hz, float amplitude,
              double seconds) {
    std::vector<float> samples(static_cast<size_t>(seconds * 44100));
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = amplitude * static_cast<float>(std::sin(2.0 * M_PI * hz * double(i) / 44100));
    }
    return playSamples(address, sink, samples);
}

} // namespace testsupport
