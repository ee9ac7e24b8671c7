// The parameter file of a recording: any bytes as the ".Kpar" read into a staging record.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzFile.h"
#include "FuzzTarget.h"
#include "app/main/KparParam.h"
#include "platform/basic/RuntimeError.h"
#include "platform/kernel/Profile.h"
#include "tests/app/main/RecordingGenerator.h"

QV_FUZZ_TARGET(KparParam) {
    const std::string file = qv::fuzz::writeInput("f.Kpar", data, size);
    qv::kernel::clearProfileCache();
    // Read through one batch scope, the file is parsed once rather than opened again for each of
    // the reader's several hundred look-ups; nothing is written, so the scope writes nothing.
    qv::kernel::ProfileBatch batch(file);
    qv::KparParam stage;
    try {
        qv::ReadKparParam(file, stage);
    } catch (const qv::basic::RuntimeError&) {
        // A refused file is the reader's answer; anything else escapes and is a finding.
    }
    return 0;
}

QV_FUZZ_SEEDS(KparParam) {
    using qv::apptest::RecordingSpec;
    RecordingSpec plain;
    RecordingSpec wide(20, 2000, 100, 3);
    wide.set("P", "nVer", "1").set("P", "DR_Wave(4)", "5").set("MARK", "MARK(0)", "2");
    wide.set("LISTBOX", "lstMarkCom.ListCount", "2").set("LISTBOX", "lstMarkCom(0)", "マーク");
    RecordingSpec syntax(1, 1000, 10);
    syntax.lfOnly = syntax.utf8Bom = syntax.blanksAroundEquals = true;
    syntax.set("P", "PTotal", "0").set("Condition", "strResolution", "640,480");
    RecordingSpec names;
    names.lowerCaseNames = names.quoteValues = true;
    names.set("pName", "pName", "あいうえおかきくけこさしすせそたちつてと,x" + std::string(31, ','));
    return {qv::fuzz::bytesOf(plain.KparBytes()), qv::fuzz::bytesOf(wide.KparBytes()),
            qv::fuzz::bytesOf(syntax.KparBytes()), qv::fuzz::bytesOf(names.KparBytes())};
}
