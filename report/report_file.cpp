#include "report/report_file.h"

namespace vantor {

std::string reportPathFor(const std::string& scenarioPath) { return scenarioPath + ".txt"; }

bool PartialReport::create(const std::string& reportPath, unsigned permissions) {
    reportPath_ = reportPath;
    return file_.createUnique(reportPath, permissions) == OwnFile::Outcome::created;
}

}  // namespace vantor
