// The command line: any bytes as the joined arguments.
#include <string>

#include "FuzzTarget.h"
#include "app/common/IniSet.h"
#include "app/common/modCommand.h"
#include "platform/basic/RuntimeError.h"

QV_FUZZ_TARGET(CommandLine) {
    qv::SetCommandLine(std::string(reinterpret_cast<const char*>(data), size));
    try {
        qv::ParseCommandLine();
    } catch (const qv::basic::RuntimeError&) {
        // A refusal is the reader's answer to a bad line; anything else escapes and is a finding.
    }
    qv::SetCommandLine("");
    qv::GstrErrRaise.clear();
    qv::GstrKdat.clear();
    qv::GstrSet.clear();
    qv::GstrMode.clear();
    return 0;
}

QV_FUZZ_SEEDS(CommandLine) {
    return {qv::fuzz::bytesOf("/MODE=2 /Kdat= /SET=C:\\SETTING.SET"),
            qv::fuzz::bytesOf("/ERR_RAISE=1 /MODE=1e99999 /MODE=-3"),
            qv::fuzz::bytesOf("host /SET=\x83\x5c\x82\xa0.SET")};
}
