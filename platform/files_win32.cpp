// The system's services on Windows: the wide (UTF-16) functions throughout,
// so that any name the file system holds can be opened.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

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

// The facts of what stands at a name, opened for nothing but looking.
bool describeAt(const Path& path, bool followLinks, FileFacts& out) noexcept {
    const HANDLE file =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool described = describe(file, out);
    CloseHandle(file);
    return described;
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
    bool entryFacts(const Path& path, FileFacts& out) override { return describeAt(path, false, out); }
    bool targetFacts(const Path& path, FileFacts& out) override { return describeAt(path, true, out); }

    std::int64_t readAt(Handle file, std::int64_t offset, void* buffer, std::size_t count) override {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset));
        at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
        DWORD read = 0;
        const DWORD asked = count < 0x40000000 ? static_cast<DWORD>(count) : 0x40000000;
        if (ReadFile(toHandle(file), buffer, asked, &read, &at)) return read;
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }

    bool tryLock(Handle file) override {
        // Windows locks are mandatory: one byte far past any scenario's end
        // keeps other runs out without keeping anyone from reading the file.
        OVERLAPPED at{};
        at.Offset = 0xFFFFFFFFUL;
        at.OffsetHigh = 0x7FFFFFFFUL;
        if (LockFileEx(toHandle(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) return true;
        // A file system without locks: the files stay safe, as each is
        // created exclusively.
        return GetLastError() != ERROR_LOCK_VIOLATION && GetLastError() != ERROR_IO_PENDING;
    }

    void close(Handle file) override { CloseHandle(toHandle(file)); }

    Created createNew(const Path& path, unsigned, bool deleteOnClose, Handle& file) override {
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
        // it is finished.
        if (!deleteOnClose && !setDeletion(created, true)) {
            CloseHandle(created);
            DeleteFileW(path.c_str());
            return Created::failed;
        }
        hold(path, created);
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

    // A new file takes the folder's permissions, as the scenario beside it did.
    bool restrictLike(Handle, const FileFacts&) override { return true; }

    bool finish(Handle file) override {
        const HANDLE h = toHandle(file);
        RemovalsHeld held;
        // From here on the file stands on its own, until it is renamed.
        for (auto& slot : removals)
            if (Removal* r = slot.load(); r && r->handle == h) r->handle = nullptr;
        const bool kept = setDeletion(h, false);
        return CloseHandle(h) != 0 && kept;
    }

    bool replace(const Path& ours, const Path& target) override {
        RemovalsHeld held;
        if (!MoveFileExW(ours.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
        release(ours);
        return true;
    }

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
