// The system's services on Windows: the wide (UTF-16) functions throughout,
// so that any name the file system holds can be opened.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/memory.h"

namespace vantor::platform {
namespace {

HANDLE toHandle(FileSystem::Handle h) { return reinterpret_cast<HANDLE>(h); }
FileSystem::Handle fromHandle(HANDLE h) { return reinterpret_cast<FileSystem::Handle>(h); }

// --- Files of ours, and what a console's events remove -----------------------
//
// A file of ours is created delete-on-close, or marked for deletion at once:
// the system removes it as its handle is closed, also when the process is
// ended, whatever ends it.  Only between a report's close and its rename does
// a file of ours stand on its own; a console's Ctrl+C, Ctrl+Break or close
// removes such a file too.  The handler runs on a thread of its own, so the
// list is kept under a lock that every change of it takes.

struct Removal {
    HANDLE handle;    // null once closed
    wchar_t path[1];  // allocated to its length
};

constexpr int removalSlots = 8;
std::atomic<Removal*> removals[removalSlots];
SRWLOCK removalLock = SRWLOCK_INIT;

class RemovalsHeld {
public:
    RemovalsHeld() noexcept { AcquireSRWLockExclusive(&removalLock); }
    ~RemovalsHeld() { ReleaseSRWLockExclusive(&removalLock); }
    RemovalsHeld(const RemovalsHeld&) = delete;
    RemovalsHeld& operator=(const RemovalsHeld&) = delete;
};

Removal* find(const Path& path) noexcept {
    for (auto& slot : removals)
        if (Removal* r = slot.load(); r && path == r->path) return r;
    return nullptr;
}

void hold(const Path& path, HANDLE handle) noexcept {
    const std::wstring& name = path;
    auto* r = static_cast<Removal*>(std::malloc(sizeof(Removal) + name.size() * sizeof(wchar_t)));
    if (!r) return;
    r->handle = handle;
    std::memcpy(r->path, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    for (auto& slot : removals) {
        Removal* expected = nullptr;
        if (slot.compare_exchange_strong(expected, r)) return;
    }
    std::free(r);
}

void release(const Path& path) noexcept {
    for (auto& slot : removals)
        if (Removal* r = slot.load(); r && path == r->path) {
            std::free(slot.exchange(nullptr));
            return;
        }
}

BOOL WINAPI removeOwnFilesAndEnd(DWORD) {
    AcquireSRWLockExclusive(&removalLock);  // never released: the process ends
    for (auto& slot : removals)
        if (const Removal* r = slot.load(); r && !r->handle) DeleteFileW(r->path);
    return FALSE;  // the system's own handling ends the process
}

bool setDeletion(HANDLE file, bool remove) noexcept {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = remove ? TRUE : FALSE;
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

bool describe(HANDLE file, FileFacts& out) noexcept {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) return false;
    out = {};
    out.identity = {info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    out.length = static_cast<std::int64_t>((std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
    out.changed = static_cast<std::int64_t>((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                            info.ftLastWriteTime.dwLowDateTime);
    out.regular = (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
    return true;
}

bool isMissing(DWORD error) noexcept { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// The facts of what stands at a name, opened for nothing but looking.
Lookup describeAt(const Path& path, bool followLinks, FileFacts& out) noexcept {
    const HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
    if (file == INVALID_HANDLE_VALUE) return isMissing(GetLastError()) ? Lookup::absent : Lookup::failed;
    const bool described = describe(file, out);
    CloseHandle(file);
    return described ? Lookup::found : Lookup::failed;
}

// `path` as the system's full path, or empty.
std::wstring fullPath(const Path& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return {};
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return {};
    full.resize(length);
    return full;
}

// A rename of the open file itself over `target` (which a link at it does
// not lead through): whatever has since been put at its name, this file is
// the one that is moved.
bool renameOpenFile(HANDLE file, const std::vector<unsigned char>& request) noexcept {
    return SetFileInformationByHandle(file, FileRenameInfo, const_cast<unsigned char*>(request.data()),
                                      static_cast<DWORD>(request.size())) != 0;
}

// The request to rename a file over `target`: FILE_RENAME_INFO, its name
// (with a NUL behind it) in place of FileName.
std::vector<unsigned char> renameRequest(const Path& target) {
    const std::size_t bytes = target.size() * sizeof(wchar_t);
    FILE_RENAME_INFO head{};
    head.ReplaceIfExists = TRUE;
    head.RootDirectory = nullptr;
    head.FileNameLength = static_cast<DWORD>(bytes);
    std::vector<unsigned char> request(sizeof head + bytes, 0);
    constexpr std::size_t nameAt = offsetof(FILE_RENAME_INFO, FileName);
    std::memcpy(request.data(), &head, nameAt);
    std::memcpy(request.data() + nameAt, target.data(), bytes);
    return request;
}

// Removes the entry at `path` while it is still `identity`.
bool removeIfStill(const Path& path, const FileIdentity& identity) noexcept {
    const HANDLE file =
        CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;  // already gone
    }
    FileFacts there;
    const bool removed = !describe(file, there) ? false : there.identity != identity || setDeletion(file, true);
    CloseHandle(file);
    return removed;
}

class Win32Files final : public FileSystem {
public:
    Handle openForReading(const Path& path, bool followLinks) override {
        // Shared with everyone, so that the game may save the scenario anew
        // meanwhile.
        const HANDLE file = CreateFileW(
            path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
            FILE_ATTRIBUTE_NORMAL | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
        if (file == INVALID_HANDLE_VALUE) return noHandle;
        FileFacts facts;
        if (GetFileType(file) != FILE_TYPE_DISK || !describe(file, facts) || !facts.regular) {
            CloseHandle(file);
            return noHandle;
        }
        return fromHandle(file);
    }

    bool facts(Handle file, FileFacts& out) override { return describe(toHandle(file), out); }
    Lookup entryFacts(const Path& path, FileFacts& out) override { return describeAt(path, false, out); }
    Lookup targetFacts(const Path& path, FileFacts& out) override { return describeAt(path, true, out); }

    std::int64_t readAt(Handle file, std::int64_t offset, void* buffer, std::size_t count) override {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset));
        at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
        DWORD read = 0;
        const DWORD asked = count < 0x40000000 ? static_cast<DWORD>(count) : 0x40000000;
        if (ReadFile(toHandle(file), buffer, asked, &read, &at)) return read;
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }

    Locking tryLock(Handle file) override {
        // Windows locks are mandatory: one byte far past any scenario's end
        // keeps other runs out without keeping anyone from reading the file.
        OVERLAPPED at{};
        at.Offset = 0xFFFFFFFFUL;
        at.OffsetHigh = 0x7FFFFFFFUL;
        if (LockFileEx(toHandle(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
            return Locking::taken;
        const DWORD error = GetLastError();
        return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? Locking::busy : Locking::none;
    }

    // A mutex named after the report's full path, in capitals (names that
    // differ in case are one file here).
    Locking tryLockName(const Path& report, Handle& lock) override {
        std::wstring full = fullPath(report);
        if (full.empty()) return Locking::none;
        CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
        std::uint64_t hash = 0xCBF29CE484222325ULL;  // FNV-1a
        for (const wchar_t c : full) hash = (hash ^ static_cast<std::uint16_t>(c)) * 0x100000001B3ULL;
        wchar_t name[64];
        std::swprintf(name, 64, L"Local\\vantor-report-%016llx", static_cast<unsigned long long>(hash));
        const HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
        if (!mutex) return Locking::none;
        switch (WaitForSingleObject(mutex, 0)) {
            case WAIT_OBJECT_0:
            case WAIT_ABANDONED: lock = fromHandle(mutex); return Locking::taken;
            case WAIT_TIMEOUT: CloseHandle(mutex); return Locking::busy;
            default: CloseHandle(mutex); return Locking::none;
        }
    }

    void unlockName(Handle lock) override {
        ReleaseMutex(toHandle(lock));
        CloseHandle(toHandle(lock));
    }

    void close(Handle file) override { CloseHandle(toHandle(file)); }

    // Files of ours go with their handles: none is ever left.
    std::vector<Path> namesBeginningWith(const Path&) override { return {}; }

    Claim claimLeft(const Path& path, Handle&, FileFacts&) override {
        // A file of a run at work is open to that run alone.
        const HANDLE file =
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return Claim::other;
        }
        const DWORD error = GetLastError();
        return error == ERROR_SHARING_VIOLATION ? Claim::atWork : isMissing(error) ? Claim::gone : Claim::other;
    }

    Created createNew(const Path& path, bool deleteOnClose, Handle& file, FileIdentity& identity) override {
        RemovalsHeld held;
        // Not shared with anyone, and a reparse point at the name is the
        // name's own: it makes the creation fail instead of being followed.
        const HANDLE created = CreateFileW(
            path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | (deleteOnClose ? FILE_FLAG_DELETE_ON_CLOSE : 0),
            nullptr);
        if (created == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Created::exists
                   : error == ERROR_FILENAME_EXCED_RANGE                       ? Created::nameTooLong
                                                                               : Created::failed;
        }
        // Marked for deletion from the start: it goes with its handle until
        // it is renamed.
        FileFacts facts;
        if ((!deleteOnClose && !setDeletion(created, true)) || !describe(created, facts)) {
            setDeletion(created, true);
            CloseHandle(created);
            return Created::failed;
        }
        hold(path, created);
        identity = facts.identity;
        file = fromHandle(created);
        return Created::created;
    }

    bool write(Handle file, const void* data, std::size_t size) override {
        const char* p = static_cast<const char*>(data);
        while (size > 0) {
            DWORD written = 0;
            const DWORD piece = size < 0x40000000 ? static_cast<DWORD>(size) : 0x40000000;
            if (!WriteFile(toHandle(file), p, piece, &written, nullptr) || written == 0) return false;
            p += written;
            size -= written;
        }
        return true;
    }

    // A new file takes the folder's permissions, as the scenario beside it
    // did; until it is renamed, no one else can open it.
    bool shareLike(Handle, const FileFacts&) override { return true; }

    Replaced replace(Handle file, const Path& path, const FileIdentity&, const Path& target, FileIdentity&) override {
        const std::vector<unsigned char> request = renameRequest(target);
        const HANDLE h = toHandle(file);
        RemovalsHeld held;
        Removal* r = find(path);
        // While it is renamed the file stands on its own: a console's event
        // meanwhile (it waits for this lock) removes it by its name.
        if (r) r->handle = nullptr;
        if (setDeletion(h, false) && renameOpenFile(h, request)) {
            release(path);
            CloseHandle(h);
            return Replaced::renamed;
        }
        // Marked again, it goes with its handle.
        if (setDeletion(h, true) && r) release(path);
        CloseHandle(h);
        return Replaced::failed;
    }

    bool exchangeBack(const Path&, const Path&, const FileIdentity&) override { return false; }

    bool discard(Handle file, const Path& path, const FileIdentity& identity) override {
        RemovalsHeld held;
        const Removal* r = find(path);
        bool removed = true;
        if (file != noHandle) {
            // Marked at its creation, or delete-on-close: the close removes it.
            CloseHandle(toHandle(file));
        } else if (!r || !r->handle) {
            removed = removeIfStill(path, identity);
        }
        if (removed) release(path);
        return removed;
    }

    bool removeEntry(const Path& path, const FileIdentity& identity) override { return removeIfStill(path, identity); }
};

}  // namespace

void* growMemory(void* block, std::size_t, std::size_t& capacity) noexcept { return std::realloc(block, capacity); }

void releaseMemory(void* block, std::size_t) noexcept { std::free(block); }

std::size_t fileNameAt(const Path& path) noexcept {
    const std::size_t separator = path.find_last_of(L"\\/:");
    return separator == Path::npos ? 0 : separator + 1;
}

FileSystem& systemFiles() {
    static Win32Files files;
    return files;
}

void removeOwnFilesOnExit() noexcept { SetConsoleCtrlHandler(removeOwnFilesAndEnd, TRUE); }

bool startViewer(const Path& file) {
    // ShellExecute reports success as a value above 32.
    return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOW)) > 32;
}

}  // namespace vantor::platform
