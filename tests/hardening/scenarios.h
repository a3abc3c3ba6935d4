// Scenario files for the end-to-end tests, one for every outcome of the
// report command.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "report/messages.h"
#include "tests/hardening/harness.h"
#include "tests/support/scenario_builder.h"
#include "tests/support/temp_dir.h"

namespace vantor::hardening {

using testing::Bytes;

// A scenario with Japanese texts, effects and conditions.
Bytes reportableBody();
Bytes reportableScenario();

// A scenario whose report is several times the size of its body: many
// effects stored with no fields.
Bytes bulkyBody();

// One way for the report command to end.
struct Outcome {
    std::string name;
    Bytes scenario;                 // written as x.scx
    std::vector<Message> messages;  // empty: the report is made
    bool createsTemporary = true;   // x.scx.dat is made on the way
    // Puts what else the case needs beside x.scx (an old x.scx.txt is there already).
    std::function<void(const testing::TempDir&)> prepare;
};

std::vector<Outcome> everyOutcome();

// A folder laid out for an outcome: x.scx, an older report x.scx.txt "old",
// another scenario y.scx with its report and a temporary file, and a file
// "guarded" that links planted beside x.scx point to.
void prepareFolder(const testing::TempDir& dir, const Outcome& outcome);

// The names of x.scx and of the files that its report command may touch.
bool isOwnName(const std::string& name);

// Checks the events of the scenario's folder during one command: only the
// scenario's own names were touched, and an older report was not changed
// unless a new one replaced it.  Gives whether x.scx.dat was created.
bool checkFolderEvents(const std::vector<FileWatch::Event>& events, bool reportMade);

// Every entry of a folder: its name, and its bytes or what else it is.
std::map<std::string, std::string> snapshot(const testing::TempDir& dir);

// Whether the folder holds what it held before the command, but for the
// report (when one was made).  Gives the first difference.
std::string changesBeyondTheReport(std::map<std::string, std::string> before, std::map<std::string, std::string> after,
                                   bool reportMade);

}  // namespace vantor::hardening
