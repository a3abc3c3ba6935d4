// vantor-report as a process: started with its arguments, environment and
// output, as the caller or as a user without privileges (file permissions
// bind nobody running as root).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace vantor::hardening {

// The user id that unprivileged runs take: the caller's own when it is not
// root, else "nobody".
uid_t unprivilegedUser();
// Hands the folder and everything in it to that user.
void handOver(const testing::TempDir& dir);

struct Launch {
    std::vector<std::string> args;
    std::vector<std::string> environment = {"LC_ALL=C.UTF-8"};  // in place of their namesakes
    bool unprivileged = false;
    int output = -2;     // a descriptor for its standard output; -1: closed; -2: captured
    std::string folder;  // where it runs; empty: here
};

// Starts vantor-report (standard error captured unless the output is given);
// it is ended after a minute.
pid_t start(const Launch& launch);
// Waits for it: the wait status.
int finish(pid_t pid);

struct Result {
    int exitStatus = -1;  // 128 + the signal when ended by one
    std::string out;
    std::string err;
};
Result run(const Launch& launch);

// UTF-8 text from a u8 literal (the tests' plain literals are cp932).
std::string utf8(const char8_t* text);

}  // namespace vantor::hardening
