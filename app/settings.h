// The program's own settings, per user, in a file of its own:
// %APPDATA%\Vantor\settings.ini (UTF-8).  Nothing goes to the registry.
#pragma once

#include <string>

#include "app/dialog_rules.h"

namespace vantor::app {

// The settings kept, or the defaults when there is no file (or none that
// can be read: a link, a file too large to be ours).
DialogSettings loadSettings();

// Writes the settings whole or not at all: into a file of a name of its
// own, never through a link, renamed over the settings file when every byte
// is written.  False when they could not be kept.
bool saveSettings(const DialogSettings& settings);

}  // namespace vantor::app
