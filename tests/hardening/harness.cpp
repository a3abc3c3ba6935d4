#include "tests/hardening/harness.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

extern char** environ;

namespace vantor::hardening {
namespace {

constexpr uid_t nobody = 65534;

// Files and folders that the tests make must be readable by the unprivileged
// user, whatever mask the tests were started with.
[[maybe_unused]] const mode_t startMask = ::umask(022);

bool dropPrivileges() {
    if (::geteuid() != 0) return true;
    return ::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0 && ::geteuid() == nobody;
}

std::string readAll(int fd) {
    std::string out;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            out.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    return out;
}

std::string readFileText(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return {};
    std::string out = readAll(fd);
    ::close(fd);
    return out;
}

int waitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

}  // namespace

FileWatch::FileWatch(const std::string& path) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ < 0 || ::inotify_add_watch(fd_, path.c_str(), IN_ALL_EVENTS) < 0)
        throw std::runtime_error("inotify: " + std::string(std::strerror(errno)));
}

FileWatch::~FileWatch() {
    if (fd_ >= 0) ::close(fd_);
}

std::vector<FileWatch::Event> FileWatch::events() {
    std::vector<Event> out;
    alignas(inotify_event) char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof event;
            out.push_back({event.len ? std::string(name) : std::string(), event.mask});
            at += static_cast<ssize_t>(sizeof event + event.len);
        }
    }
    return out;
}

bool isChange(std::uint32_t mask) {
    return (mask & (IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF |
                    IN_MOVED_FROM | IN_MOVED_TO)) != 0;
}

uid_t unprivilegedUser() { return ::geteuid() == 0 ? nobody : ::geteuid(); }

namespace {

ChildResult runChild(const std::function<std::string()>& work, bool unprivileged) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid < 0) return {};
    if (pid == 0) {
        ::close(pipeFds[0]);
        if (unprivileged && !dropPrivileges()) ::_exit(125);
        const std::string output = work();
        std::size_t at = 0;
        while (at < output.size()) {
            const ssize_t n = ::write(pipeFds[1], output.data() + at, output.size() - at);
            if (n <= 0) ::_exit(126);
            at += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    ChildResult result;
    result.output = readAll(pipeFds[0]);
    ::close(pipeFds[0]);
    const int status = waitFor(pid);
    result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

}  // namespace

ChildResult runUnprivileged(const std::function<std::string()>& work) { return runChild(work, true); }
ChildResult runInChild(const std::function<std::string()>& work) { return runChild(work, false); }

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment, bool unprivileged,
                         const std::string& standardOutput) {
    char outPath[] = "/tmp/vantor-program-out-XXXXXX";
    char errPath[] = "/tmp/vantor-program-err-XXXXXX";
    const int outFd = ::mkstemp(outPath);
    const int errFd = ::mkstemp(errPath);
    if (outFd < 0 || errFd < 0) return {};

    // The caller's environment, with the given entries in place of their namesakes.
    std::vector<std::string> env = environment;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& given : environment) replaced = replaced || given.rfind(name, 0) == 0;
        if (!replaced) env.push_back(entry);
    }

    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(standardOutput.empty() ? outFd : ::open(standardOutput.c_str(), O_WRONLY), 1);
        ::dup2(errFd, 2);
        ::alarm(60);
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, 0);
        if (unprivileged && !dropPrivileges()) ::_exit(125);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    ProgramResult result;
    if (pid > 0) {
        const int status = waitFor(pid);
        result.ran = WIFEXITED(status) && WEXITSTATUS(status) != 125 && WEXITSTATUS(status) != 127;
        result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        result.out = readFileText(outPath);
        result.err = readFileText(errPath);
    }
    ::close(outFd);
    ::close(errFd);
    ::unlink(outPath);
    ::unlink(errPath);
    return result;
}

const std::string& reportProgram() {
    // The build tree may lie where the unprivileged user cannot reach it.
    // The copy is made once and removed when the tests end.
    static char folder[] = "/tmp/vantor-program-XXXXXX";
    static const std::string copy = [] {
        if (!::mkdtemp(folder) || ::chmod(folder, 0755) != 0) throw std::runtime_error("mkdtemp");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        });
        const std::string path = std::string(folder) + "/vantor-report";
        std::filesystem::copy_file(VANTOR_REPORT_PROGRAM, path);
        ::chmod(path.c_str(), 0755);
        return path;
    }();
    return copy;
}

std::string utf8(const char8_t* text) { return std::string(reinterpret_cast<const char*>(text)); }

}  // namespace vantor::hardening
