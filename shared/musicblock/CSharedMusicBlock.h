// The named block through which the player plug-in hands the game the newest spectrum and
// media title. Layout, 2248 bytes with no header: bytes 0..1023 left-channel levels, 1024..2047
// right-channel levels (index 0 = lowest band), 2048..2247 the title, 8-bit, NUL-terminated
// within its 200 bytes. No lock or counter: every Read is a snapshot that may be torn.
//
// The plug-in uses the writer side (Create, Write, Close), the game the reader side (Open,
// Read, Close). Each program holds one instance.
#pragma once

#include "platform/base/WinTypes.h"

#include <cstdint>

class CSharedMusicBlock {
  public:
    static constexpr uint32_t kSpectrumBytes = 2048;
    static constexpr uint32_t kChannelBands = 1024;
    static constexpr uint32_t kTitleBytes = 200;
    static constexpr uint32_t kBlockBytes = kSpectrumBytes + kTitleBytes;
    static constexpr const char* kMappingName = "memMap";
    static constexpr const char* kBackingFileName = "shareFilexyz123.dat";

    CSharedMusicBlock();
    ~CSharedMusicBlock();
    CSharedMusicBlock(const CSharedMusicBlock&) = delete;
    CSharedMusicBlock& operator=(const CSharedMusicBlock&) = delete;

    // Writer: makes the backing file (a failure there is not an error) and the mapping, or
    // joins the mapping a reader still holds. True once the block is mapped; true at once when
    // this object is already created or opened.
    bool Create();
    // Reader: maps the existing block read-only. False while no writer has created it.
    bool Open();
    // Copies the first 2048 bytes of the player's level record and the 200-byte title into
    // the block. False (nothing written) unless created. Never faults: when another process
    // has shrunk the block or removed its name, the writer closes it, creates it again (a
    // whole block under the name) and writes there; false only when that fails too.
    bool Write(const void* timedLevel, const char* title);
    // Copies the block out. False unless opened, and then both buffers are left as they were.
    // Also false, buffers untouched, when the block is no longer whole or no longer the one
    // under its name (another process shrank it, or removed the name and perhaps a new writer
    // made a new block): the reader then closes it, and the next Open finds the current one.
    // Never faults and never waits on another process.
    bool Read(unsigned char spectrum[2][1024], char title[200]);
    // Unmaps and closes everything; both flags clear afterwards.
    void Close();

    bool isCreated() const { return created; }
    bool isOpened() const { return opened; }

  private:
    HANDLE file = nullptr;
    HANDLE mapping = nullptr;
    unsigned char* view = nullptr;
    uint32_t spectrumSize = kSpectrumBytes;
    bool created = false;
    bool opened = false;
};
