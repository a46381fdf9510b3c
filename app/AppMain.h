#pragma once

#include <string>
#include <vector>

// The program's run after the toolkit is up: answers --help and --version,
// watches for a request to end from outside, works out the configuration
// (see TCommandLine; a name that is not valid UTF-8 is refused), builds the
// report window and hands it the files of --compare, reports a damaged
// settings hive, runs the window modally and destroys it, which saves every
// window. Every failure goes to the standard error box and the run goes on;
// the result is the program's exit status.
int RunApplication(const std::vector<std::string> &Arguments);
