#include "tests/hardening/harness.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace vantor::hardening {
namespace {

constexpr uid_t nobody = 65534;

// The build tree may lie where the unprivileged user cannot reach it: the
// program is copied once and the copy removed when the tests end.
const std::string& program() {
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

// Where the captured output of the next run goes (named by the test process).
std::string capturePath(const char* which) { return "/tmp/vantor-" + std::to_string(::getpid()) + which; }

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

uid_t unprivilegedUser() { return ::geteuid() == 0 ? nobody : ::geteuid(); }

void handOver(const testing::TempDir& dir) {
    const uid_t user = unprivilegedUser();
    static_cast<void>(::lchown(dir.path().c_str(), user, user));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
        static_cast<void>(::lchown(entry.path().c_str(), user, user));
}

pid_t start(const Launch& launch) {
    // The caller's environment, with the given entries in place of their namesakes.
    std::vector<std::string> env = launch.environment;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e, name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& given : launch.environment) replaced = replaced || given.starts_with(name);
        if (!replaced) env.push_back(entry);
    }
    program();  // copied before the fork
    const std::string outPath = capturePath("-out"), errPath = capturePath("-err");
    const pid_t pid = ::fork();
    if (pid != 0) return pid;

    const int devNull = ::open("/dev/null", O_RDWR);
    ::dup2(devNull, 0);
    if (launch.output == -2) {
        ::dup2(::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
    } else {
        launch.output >= 0 ? ::dup2(launch.output, 1) : ::close(1);
        ::dup2(devNull, 2);
    }
    ::alarm(60);
    if (!launch.folder.empty() && ::chdir(launch.folder.c_str()) != 0) ::_exit(126);
    const uid_t user = unprivilegedUser();
    if (launch.unprivileged && ::geteuid() == 0 && ::setgroups(0, nullptr) != 0) ::_exit(125);
    if (launch.unprivileged && (::setgid(user) != 0 || ::setuid(user) != 0)) ::_exit(125);
    std::vector<char*> argv{const_cast<char*>(program().c_str())};
    for (const std::string& a : launch.args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
}

int finish(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

Result run(const Launch& launch) {
    const int status = finish(start(launch));
    Result r;
    r.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (launch.output == -2) {
        r.out = readText(capturePath("-out"));
        r.err = readText(capturePath("-err"));
        std::filesystem::remove(capturePath("-out"));
        std::filesystem::remove(capturePath("-err"));
    }
    return r;
}

std::string utf8(const char8_t* text) { return std::string(reinterpret_cast<const char*>(text)); }

}  // namespace vantor::hardening
