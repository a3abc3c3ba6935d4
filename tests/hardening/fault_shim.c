// Makes one call of the system fail in vantor-report, for its end-to-end
// tests (loaded with LD_PRELOAD): VANTOR_FAULT="NAME N" fails the Nth call
// (from 1) of the function NAME with EIO, counting only the calls on the
// files beside the scenario (a path that begins with "x.scx", the folder
// ".", and the descriptors opened on them), then creates the file named by
// VANTOR_FAULT_DONE, so that the test knows the run got that far.
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#define REAL(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

static char watched[4096];  // descriptors opened on the files beside the scenario

static int watchedPath(const char* path) { return path && (!strncmp(path, "x.scx", 5) || !strcmp(path, ".")); }
static int watchedFd(int fd) { return fd >= 0 && fd < (int)sizeof watched && watched[fd]; }

// Whether this call of `name` is the one to fail.
static int fails(const char* name) {
    static int calls;
    const char* fault = getenv("VANTOR_FAULT");
    const size_t length = strlen(name);
    if (!fault || strncmp(fault, name, length) || fault[length] != ' ' || ++calls != atoi(fault + length + 1)) return 0;
    const char* done = getenv("VANTOR_FAULT_DONE");
    const int fd = done ? REAL(open)(done, O_WRONLY | O_CREAT | O_CLOEXEC, 0600) : -1;
    if (fd >= 0) REAL(close)(fd);
    errno = EIO;
    return 1;
}

static int opened(const char* path, int fd) {
    if (fd >= 0 && fd < (int)sizeof watched) watched[fd] = (char)watchedPath(path);
    return fd;
}

int open(const char* path, int flags, ...) {
    va_list rest;
    va_start(rest, flags);
    const mode_t mode = flags & (O_CREAT | O_TMPFILE) ? va_arg(rest, mode_t) : 0;
    va_end(rest);
    if (watchedPath(path) && fails("open")) return -1;
    return opened(path, REAL(open)(path, flags, mode));
}

int open64(const char* path, int flags, ...) {
    va_list rest;
    va_start(rest, flags);
    const mode_t mode = flags & (O_CREAT | O_TMPFILE) ? va_arg(rest, mode_t) : 0;
    va_end(rest);
    if (watchedPath(path) && fails("open")) return -1;
    return opened(path, REAL(open64)(path, flags, mode));
}

int close(int fd) {
    const int failing = watchedFd(fd) && fails("close");
    if (fd >= 0 && fd < (int)sizeof watched) watched[fd] = 0;
    const int result = REAL(close)(fd);  // closed also when it reports a failure
    return failing ? -1 : result;
}

DIR* opendir(const char* path) { return watchedPath(path) && fails("opendir") ? NULL : REAL(opendir)(path); }
int stat(const char* path, struct stat* out) { return watchedPath(path) && fails("stat") ? -1 : REAL(stat)(path, out); }
int lstat(const char* path, struct stat* out) {
    return watchedPath(path) && fails("lstat") ? -1 : REAL(lstat)(path, out);
}
int fstat(int fd, struct stat* out) { return watchedFd(fd) && fails("fstat") ? -1 : REAL(fstat)(fd, out); }
int stat64(const char* path, struct stat64* out) {
    return watchedPath(path) && fails("stat") ? -1 : REAL(stat64)(path, out);
}
int lstat64(const char* path, struct stat64* out) {
    return watchedPath(path) && fails("lstat") ? -1 : REAL(lstat64)(path, out);
}
int fstat64(int fd, struct stat64* out) { return watchedFd(fd) && fails("fstat") ? -1 : REAL(fstat64)(fd, out); }
int flock(int fd, int operation) { return watchedFd(fd) && fails("flock") ? -1 : REAL(flock)(fd, operation); }
int fchown(int fd, uid_t user, gid_t group) {
    return watchedFd(fd) && fails("fchown") ? -1 : REAL(fchown)(fd, user, group);
}
int fchmod(int fd, mode_t mode) { return watchedFd(fd) && fails("fchmod") ? -1 : REAL(fchmod)(fd, mode); }
ssize_t write(int fd, const void* data, size_t size) {
    return watchedFd(fd) && fails("write") ? -1 : REAL(write)(fd, data, size);
}
ssize_t pread(int fd, void* data, size_t size, off_t at) {
    return watchedFd(fd) && fails("pread") ? -1 : REAL(pread)(fd, data, size, at);
}
ssize_t pread64(int fd, void* data, size_t size, off64_t at) {
    return watchedFd(fd) && fails("pread") ? -1 : REAL(pread64)(fd, data, size, at);
}
int unlink(const char* path) { return watchedPath(path) && fails("unlink") ? -1 : REAL(unlink)(path); }
int rename(const char* from, const char* to) {
    return (watchedPath(from) || watchedPath(to)) && fails("rename") ? -1 : REAL(rename)(from, to);
}
int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    if ((watchedPath(from) || watchedPath(to)) && fails("renameat2")) return -1;
    return REAL(renameat2)(fromDir, from, toDir, to, flags);
}
