// The one place where Windows-style file names become Linux paths.
#pragma once

#include <string>

namespace plat {

// Turns a Windows-style relative or absolute name into a Linux path: backslashes become
// slashes, and the names of the programs and libraries of this system lose their Windows
// suffix ("Tonecrest.exe" -> "Tonecrest", "TCwavetap2.dll" -> "TCwavetap2.so").
std::string mapPath(const std::string& windowsName);

// Folder holding the running executable, without a trailing slash.
std::string executableFolder();

} // namespace plat
