// The program: the command line as one text, then the main window under the Qt front end.
#include <string>

#include "app/common/modCommand.h"
#include "app/main/Acqisition.h"
#include "platform/qt/Application.h"

int main(int argc, char** argv) {
    // The arguments after the program name, joined with single blanks as the parser expects.
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    qv::SetCommandLine(line);
    return qv::qt::runApplication(argc, argv, [] { qv::Acqisition::instance().Show(); });
}
