// A channel's block file: any bytes as the file, read at a position and for a count the
// input's first bytes choose. A refusal is a run-time error; anything else escaping is a finding.
#include "FuzzProgram.h"
#include "FuzzTarget.h"
#include "app/channel/CWave.h"
#include "platform/basic/RuntimeError.h"

QV_FUZZ_TARGET(BlockFile) {
    const auto& prog = qv::fuzz::program().prog;
    prog.writeBytes("block.bin", std::string(reinterpret_cast<const char*>(data), size));
    const int32_t count = size > 0 ? data[0] * 8 : 0;
    const int32_t position = size > 1 ? static_cast<int8_t>(data[1]) : 0;
    qv::CWave wave;
    try {
        (void)wave.LoadWave(prog.win("block.bin"), count, position);
    } catch (const qv::basic::RuntimeError&) {
    }
    return 0;
}

QV_FUZZ_SEEDS(BlockFile) {
    std::string block = "\x10";
    block += std::string(1, '\0');
    block += "----------------START WAVE DATA ----------------";
    for (int i = 0; i < 40; ++i) block += std::string("\x00\x00\x80\x3f", 4);
    return {qv::fuzz::bytesOf(block), qv::fuzz::bytesOf("\xff\x05short")};
}
