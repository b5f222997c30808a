// Named file mappings with the Win32 names. A mapping is a POSIX shared-memory object named
// after the mapping, so any process that knows the name can open it. As on Windows the name
// lives while some process holds a handle to it: the last handle to close removes it, and a
// mapping created under a name that is still held is the existing one, unchanged.
//
// The environment variable TONECREST_SHM_NAMESPACE, when set, is put in front of every
// mapping name, so that test runs do not meet the mappings of a game or player in use.
#pragma once

#include "platform/base/KernelObject.h"

#include <cstddef>

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD PAGE_READWRITE = 0x04;
constexpr DWORD FILE_MAP_WRITE = 0x0002;
constexpr DWORD FILE_MAP_READ = 0x0004;
constexpr DWORD FILE_MAP_ALL_ACCESS = 0xF001F;

// Opens or creates a plain file. A share mode of 0 keeps every other opener out while the
// handle is open (ERROR_SHARING_VIOLATION). INVALID_HANDLE_VALUE on failure.
HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, void* security, DWORD creation,
                   DWORD flags, HANDLE templateFile);

// Creates the named mapping of the given maximum size, or opens it when the name is held
// already (GetLastError() then says ERROR_ALREADY_EXISTS). A file handle, when given, is the
// backing file and is extended to the maximum size. Null on failure.
HANDLE CreateFileMappingA(HANDLE file, void* security, DWORD protect, DWORD maxSizeHigh,
                          DWORD maxSizeLow, LPCSTR name);
// Opens an existing named mapping; null when there is none (ERROR_FILE_NOT_FOUND) and also,
// without waiting, while another process holds the name's lock exclusively
// (ERROR_LOCK_VIOLATION); the caller may try again later.
HANDLE OpenFileMappingA(DWORD access, BOOL inheritHandle, LPCSTR name);
// Maps a view; bytes 0 maps the whole mapping. Null on failure.
void* MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, size_t bytes);
BOOL UnmapViewOfFile(const void* view);

// Copies bytes from offset within a mapped view into out, safely against other processes:
// instead of faulting on a mapping that another process has shrunk, or reading a stale object
// for ever, it fails. FALSE when the view is not mapped or the range is outside it
// (ERROR_INVALID_PARAMETER), when the object now holds fewer bytes than the range needs
// (ERROR_HANDLE_EOF; out may then hold part of the data), or when the mapping's name has been
// removed or now names another object (ERROR_FILE_INVALID). Never waits on another process.
BOOL ReadMappedView(const void* view, size_t offset, void* out, size_t bytes);
// Copies bytes into a writable view at offset, the writer's side of ReadMappedView: instead of
// faulting on a mapping that another process has shrunk, it fails, and writes nothing.
// FALSE when the view is not mapped for writing or the range is outside it
// (ERROR_INVALID_PARAMETER), when the object now holds fewer bytes than the range needs
// (ERROR_HANDLE_EOF), or when the mapping's name has been removed or now names another object
// (ERROR_FILE_INVALID). The caller may then close the mapping and create it again.
BOOL WriteMappedView(void* view, size_t offset, const void* data, size_t bytes);
