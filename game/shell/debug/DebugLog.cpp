#include "game/shell/debug/DebugLog.h"

#include <iostream>

CDebugLog debugLog("TestThis.txt");

CDebugLog::CDebugLog(const char* fileName) : stream(fileName, std::ios::out | std::ios::trunc) {
    openLogFile();
}

bool CDebugLog::openLogFile() {
    if (stream.is_open()) {
        return true;
    }
    std::cout << "*Error in debug.h, openLogFile(): \n--"
              << "Can't Open File" << std::endl;
    return false;
}
