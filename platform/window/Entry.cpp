#include "platform/window/Entry.h"

#include "platform/shell/Shell.h"

#include <string>

namespace plat {
HINSTANCE programInstance() {
    static char token;
    return reinterpret_cast<HINSTANCE>(&token);
}
} // namespace plat

int main(int argc, char** argv) {
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            commandLine += ' ';
        }
        commandLine += argv[i];
    }
    return WinMain(plat::programInstance(), nullptr, commandLine.data(), SW_SHOWNORMAL);
}
