#include "app/common/modCommand.h"

#include "app/common/IniSet.h"
#include "platform/basic/Basic.h"

namespace qv {

namespace {
std::string gCommandLine;
}

void SetCommandLine(const std::string& text) { gCommandLine = text; }

std::string Command() { return gCommandLine; }

void ParseCommandLine() {
    const std::string line = Command();
    if (line.empty()) return;
    struct Option {
        const char* text;
        std::string* value;
        bool numeric;
    };
    const Option options[] = {
        {"/ERR_RAISE=", &GstrErrRaise, false},
        {"/Kdat=", &GstrKdat, false},
        {"/SET=", &GstrSet, false},
        {"/MODE=", &GstrMode, true},
    };
    // Single blanks separate; quotes mean nothing, so a path with a blank is split.
    for (const std::string& token : basic::Split(line, " ")) {
        for (const Option& o : options) {
            if (!token.starts_with(o.text)) continue;  // case-sensitive
            const std::string value = basic::Replace(token, o.text, "");
            if (!o.numeric) *o.value = value;
            else if (const auto n = StoredNumber(value, std::string("コマンドライン ") + o.text)) *o.value = basic::CStr(*n);
        }
    }
}

}  // namespace qv

