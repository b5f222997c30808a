#include "shared/musicblock/CSharedMusicBlock.h"

#include "platform/sharedmem/SharedMemory.h"

#include <cstring>

CSharedMusicBlock::CSharedMusicBlock() = default;

CSharedMusicBlock::~CSharedMusicBlock() {
    Close();
}

bool CSharedMusicBlock::Create() {
    if (created || opened) {
        return true;
    }
    file = CreateFileA(kBackingFileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        file = nullptr;
    }
    // Without a backing file the mapping still works, kept in memory only.
    mapping = CreateFileMappingA(file != nullptr ? file : INVALID_HANDLE_VALUE, nullptr,
                                 PAGE_READWRITE, 0, kBlockBytes, kMappingName);
    if (mapping != nullptr) {
        view = static_cast<unsigned char*>(
            MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, kBlockBytes));
    }
    if (view == nullptr) {
        // Close() keeps the file of an uncreated block, so let it go here.
        if (file != nullptr) {
            CloseHandle(file);
            file = nullptr;
        }
        Close();
        return false;
    }
    created = true;
    return true;
}

bool CSharedMusicBlock::Open() {
    if (created || opened) {
        return true;
    }
    mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, kMappingName);
    if (mapping == nullptr) {
        return false;
    }
    view = static_cast<unsigned char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, kBlockBytes));
    if (view == nullptr) {
        Close();
        return false;
    }
    opened = true;
    return true;
}

bool CSharedMusicBlock::Write(const void* timedLevel, const char* title) {
    if (!created) {
        return false;
    }
    unsigned char copy[kBlockBytes];
    std::memcpy(copy, timedLevel, spectrumSize);
    std::memcpy(copy + spectrumSize, title, kTitleBytes);
    // Another process may shrink the block or remove its name: the write is checked, and a
    // block that fails it is made anew, so that readers find a whole block again.
    if (WriteMappedView(view, 0, copy, kBlockBytes)) {
        return true;
    }
    Close();
    return Create() && WriteMappedView(view, 0, copy, kBlockBytes);
}

bool CSharedMusicBlock::Read(unsigned char spectrum[2][1024], char title[200]) {
    if (!opened) {
        return false;
    }
    // Another process may shrink the block, or remove its name and let a new writer make a
    // new one: the copy is checked, and a block that fails it is let go, to be opened anew.
    unsigned char copy[kBlockBytes];
    if (!ReadMappedView(view, 0, copy, kBlockBytes)) {
        Close();
        return false;
    }
    std::memcpy(spectrum, copy, spectrumSize);
    std::memcpy(title, copy + spectrumSize, kTitleBytes);
    return true;
}

void CSharedMusicBlock::Close() {
    if (view != nullptr) {
        UnmapViewOfFile(view);
    }
    if (mapping != nullptr) {
        CloseHandle(mapping);
    }
    if (created && file != nullptr) {
        CloseHandle(file);
    }
    view = nullptr;
    mapping = nullptr;
    file = nullptr;
    created = false;
    opened = false;
}
