// What the end-to-end tests need beyond a temporary folder: watching which
// files a command touches, running code as a user without privileges (file
// permissions bind nobody running as root), and running the command-line
// program.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantor::hardening {

// Records the file-system events of a file or of the entries of a folder
// (inotify) from construction until events() is called.
class FileWatch {
public:
    struct Event {
        std::string name;  // the entry's name when a folder is watched, else empty
        std::uint32_t mask;
    };

    explicit FileWatch(const std::string& path);
    ~FileWatch();
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

    // The events so far, in order.
    std::vector<Event> events();

private:
    int fd_ = -1;
};

// Any event that writes, creates, removes, renames or changes the attributes.
bool isChange(std::uint32_t mask);

// The user id that unprivileged code runs as: the caller's own when it is
// not root, else "nobody" (65534).
uid_t unprivilegedUser();

// Runs `work` in a child process as the unprivileged user and returns what it
// returned; `ok` is false when the privileges could not be dropped or the
// child did not end normally.
struct ChildResult {
    bool ok = false;
    std::string output;
};
ChildResult runUnprivileged(const std::function<std::string()>& work);
// The same in a child that keeps the caller's privileges.
ChildResult runInChild(const std::function<std::string()>& work);

// Runs a program with arguments and extra environment entries ("NAME=value"),
// optionally as the unprivileged user; captures its exit status and output.
struct ProgramResult {
    bool ran = false;
    int exitStatus = -1;
    std::string out;
    std::string err;
};
// A program that runs longer than a minute is ended (and fails the test).
// With `standardOutput`, its output goes to that file instead of `out`.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment = {}, bool unprivileged = false,
                         const std::string& standardOutput = {});

// A copy of the command-line program where the unprivileged user can run it.
const std::string& reportProgram();

// UTF-8 text from a u8 literal (the tests' plain literals are cp932).
std::string utf8(const char8_t* text);

}  // namespace vantor::hardening
