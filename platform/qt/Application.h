#pragma once
// Runs the program with the Qt front end: the entry the executable calls when it runs for a
// person.

#include <functional>

namespace qv::qt {

// Creates the application (or uses the one that exists), keeps number text locale-free,
// takes the screen's size, registers the font substitutions, installs the front end, the
// dialogs and the printer (the default printer, else PDF files), runs `startup` (which loads
// the start-up form) and then the event loop until no form is loaded or the program ends.
// Returns the process exit code.
int runApplication(int argc, char** argv, const std::function<void()>& startup);

}  // namespace qv::qt
