// For program-level targets: the whole program started once in a temporary program folder, on
// the headless driver, shared by every such target of a process.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "tests/app/main/Acqisition_Start_testsupport.h"
#include "app/main/Acqisition.h"
#include "platform/forms/Driver.h"

namespace qv::fuzz {

struct Program {
    apptest::TempProgramFolder prog;
    apptest::StartableProgram startable{prog};
    forms::Driver driver;
    Acqisition* window = nullptr;
    Program() {
        driver.run([this] {
            window = &Acqisition::instance();
            window->Show();
        });
    }
    // An input as a file of the program folder that the user saved a while ago. A file changed
    // within the last moments is read again on every key (its cached bytes could be stale
    // within the file system's time granularity), which no user's file is when loaded.
    void writeSaved(const std::string& name, const std::string& bytes) const {
        prog.writeBytes(name, bytes);
        std::filesystem::last_write_time(prog.dir() / name,
                                         std::filesystem::file_time_type::clock::now() - std::chrono::seconds(10));
    }
    // Runs `code` as an event would; true when it stopped on run-time error 6 (a number out of
    // range that should have been ignored) or on an exception that is no run-time error.
    template <class Code>
    bool runStopsOnAFault(Code&& code) {
        const size_t before = driver.errors().size();
        driver.run(code);
        for (size_t i = before; i < driver.errors().size(); ++i)
            if (driver.errors()[i].starts_with("Run-time error '6'") ||
                driver.errors()[i].starts_with("Run-time error '51'"))
                return true;
        return false;
    }
};

inline Program& program() {
    static Program p;
    return p;
}

}  // namespace qv::fuzz
