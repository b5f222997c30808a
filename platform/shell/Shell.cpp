#include "platform/shell/Shell.h"

#include "platform/base/PathMap.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool isExecutable(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string findProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        return isExecutable(name) ? name : std::string();
    }
    if (isExecutable("./" + name)) {
        return "./" + name;
    }
    std::string beside = plat::executableFolder() + "/" + name;
    if (isExecutable(beside)) {
        return beside;
    }
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        std::string dir = dirs.substr(start, end == std::string::npos ? end : end - start);
        if (!dir.empty() && isExecutable(dir + "/" + name)) {
            return dir + "/" + name;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return std::string();
}

std::vector<std::string> splitParameters(const char* params) {
    std::vector<std::string> out;
    if (params == nullptr) {
        return out;
    }
    std::string cur;
    bool quoted = false, any = false;
    for (const char* p = params; *p; ++p) {
        if (*p == '"') {
            quoted = !quoted;
            any = true;
        } else if ((*p == ' ' || *p == '\t') && !quoted) {
            if (any) {
                out.push_back(cur);
            }
            cur.clear();
            any = false;
        } else {
            cur.push_back(*p);
            any = true;
        }
    }
    if (any) {
        out.push_back(cur);
    }
    return out;
}

// Runs the program in a grandchild so that nobody has to wait for it; a pipe closed on exec
// tells whether the exec itself worked.
bool spawnDetached(const std::string& program, const std::vector<std::string>& args,
                   const char* directory) {
    int pipefd[2];
    if (pipe2(pipefd, O_CLOEXEC) != 0) {
        return false;
    }
    pid_t child = fork();
    if (child < 0) {
        close(pipefd[0]);
        close(pipefd[1]);
        return false;
    }
    if (child == 0) {
        setsid();
        pid_t grandchild = fork();
        if (grandchild != 0) {
            _exit(grandchild < 0 ? 1 : 0);
        }
        if (directory != nullptr && *directory != '\0' &&
            chdir(plat::mapPath(directory).c_str()) != 0) {
            int err = errno;
            (void)!write(pipefd[1], &err, sizeof err);
            _exit(127);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        int err = errno;
        (void)!write(pipefd[1], &err, sizeof err);
        _exit(127);
    }
    close(pipefd[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    while ((n = read(pipefd[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    close(pipefd[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

} // namespace

BOOL ShellExecuteExA(SHELLEXECUTEINFOA* info) {
    if (info == nullptr || info->lpFile == nullptr) {
        return FALSE;
    }
    if (info->lpVerb != nullptr && std::strcmp(info->lpVerb, "open") != 0) {
        info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(31));
        return FALSE;
    }
    std::string program = findProgram(plat::mapPath(info->lpFile));
    bool started = !program.empty() &&
                   spawnDetached(program, splitParameters(info->lpParameters), info->lpDirectory);
    info->hInstApp =
        reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(started ? 42 : ERROR_FILE_NOT_FOUND));
    return started ? TRUE : FALSE;
}

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
    std::vector<char> buf(4096);
    while (getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE) {
            return 0;
        }
        buf.resize(buf.size() * 2);
    }
    size_t len = std::strlen(buf.data());
    if (buffer == nullptr || bufferLength < len + 1) {
        return static_cast<DWORD>(len + 1);
    }
    std::memcpy(buffer, buf.data(), len + 1);
    return static_cast<DWORD>(len);
}

BOOL SetCurrentDirectoryA(LPCSTR path) {
    return path != nullptr && chdir(plat::mapPath(path).c_str()) == 0 ? TRUE : FALSE;
}
