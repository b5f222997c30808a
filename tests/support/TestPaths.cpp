#include "tests/support/TestPaths.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <cstdlib>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tctest.XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    dir = made ? made : "";
}

IsolatedMusicBlock::IsolatedMusicBlock(const ScratchDir& folder) {
    static int counter = 0;
    std::string ns = "tctest" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    setenv("TONECREST_SHM_NAMESPACE", ns.c_str(), 1);
    entered = chdir(folder.path().c_str()) == 0;
}

IsolatedMusicBlock::~IsolatedMusicBlock() {
    (void)!chdir("/");
    unsetenv("TONECREST_SHM_NAMESPACE");
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    if (!dir.empty()) {
        std::filesystem::remove_all(dir, ec);
    }
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

bool fileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

int inChildWithFileSizeLimit(size_t limitBytes, const std::function<bool()>& work) {
    pid_t child = fork();
    if (child == 0) {
        rlimit limit{limitBytes, limitBytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(work() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        return -1;
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

} // namespace testsupport
