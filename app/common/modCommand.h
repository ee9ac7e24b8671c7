#pragma once
// The program's command line: "/ERR_RAISE=", "/MODE=", "/Kdat=" and "/SET=" into the four
// command-line globals of IniSet. Parsing decides nothing; start-up acts on the values.
#include <string>

namespace qv {

// The command line as the platform gives it, without the program name: the arguments joined with
// single blanks. Set by the executable at start; tests set their own.
void SetCommandLine(const std::string& text);
std::string Command();

void ParseCommandLine();

}  // namespace qv
