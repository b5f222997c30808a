// A preload library for measuring the paced game from outside: every SDL_GL_SwapWindow the
// process makes appends one line to the file named by TCSWAPLOG: the wall-clock time of the
// swap's return in nanoseconds since the epoch (CLOCK_REALTIME, so a script can set a start
// time before exec), then the CPU time the process (every thread) has used so far, in
// nanoseconds. The swap itself is SDL's, found with dlsym(RTLD_NEXT). With TCSWAPEXIT=N the
// process ends (_exit(0)) after its Nth swap, for profiling its start alone. A picture put on
// the screen without GL (SDL_UpdateWindowSurface: the start-up picture) appends the same line
// to the file named by TCPICTURELOG.

struct SDL_Window;

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

using SwapProc = void (*)(SDL_Window*);

int openLog(const char* variable) {
    const char* name = std::getenv(variable);
    return name != nullptr ? open(name, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
}

// The wall-clock and process CPU times of now, as one line.
void logNow(int fd) {
    if (fd < 0) {
        return;
    }
    timespec now{}, cpu{};
    clock_gettime(CLOCK_REALTIME, &now);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    char line[48];
    int n = std::snprintf(line, sizeof line, "%lld %lld\n",
                          static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                          static_cast<long long>(cpu.tv_sec) * 1000000000LL + cpu.tv_nsec);
    if (n > 0 && write(fd, line, static_cast<size_t>(n)) < 0) {
        // Nothing to do: the measurement loses one line.
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) void SDL_GL_SwapWindow(SDL_Window* window) {
    static SwapProc next = reinterpret_cast<SwapProc>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    if (next != nullptr) {
        next(window);
    }
    static const int fd = openLog("TCSWAPLOG");
    logNow(fd);
    static long swaps = 0;
    static const long exitAfter = [] {
        const char* n = std::getenv("TCSWAPEXIT");
        return n != nullptr ? std::atol(n) : 0L;
    }();
    if (exitAfter > 0 && ++swaps >= exitAfter) {
        _exit(0);
    }
}

extern "C" __attribute__((visibility("default"))) int SDL_UpdateWindowSurface(SDL_Window* window) {
    using UpdateProc = int (*)(SDL_Window*);
    static UpdateProc next =
        reinterpret_cast<UpdateProc>(dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface"));
    int result = next != nullptr ? next(window) : -1;
    static const int fd = openLog("TCPICTURELOG");
    logNow(fd);
    return result;
}
