#pragma once
// A throw-away program folder for the tests of the program's modules: the kernel's program
// folder points at it while the object lives, and it is removed afterwards.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <typeinfo>
#include <vector>
#include <string>

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Form.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/Profile.h"
#include "platform/kernel/SettingsStore.h"

namespace qv::apptest {

// The run-time error number `f` raised, 0 when it raised none.
inline int errorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const basic::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

// A loaded window of the given name holding the given controls (in creation order), standing in
// for a window the code under test reaches by name. Tag tells stand-ins apart.
class StandInForm : public forms::Form {
public:
    explicit StandInForm(const forms::FormDesign& d) : Form(d) {}
};
template <class Tag>
forms::Form& loadStandIn(const std::string& name,
                         const std::vector<std::pair<forms::ControlType, std::string>>& controls) {
    forms::FormDesign d;
    d.name = name;
    double top = 0;
    for (const auto& [type, full] : controls) {
        const size_t paren = full.find('(');
        const int index = paren == std::string::npos ? -1 : std::stoi(full.substr(paren + 1));
        d.controls.push_back({type, full.substr(0, paren), index, "", 0, top, 1500, 300, "", {}});
        top += 300;
    }
    return forms::Runtime::get().formOf(typeid(Tag),
                                        [d] { return std::make_unique<StandInForm>(d); });
}

class TempProgramFolder {
public:
    TempProgramFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "qvapp_XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        dir_ = tmpl;
        kernel::setProgramFolder(dir_.string());
        // The per-user store too: a test never writes the user's own settings.
        kernel::setSettingsFolder((dir_ / "config").string());
        kernel::clearProfileCache();
    }
    ~TempProgramFolder() {
        kernel::setProgramFolder("");
        kernel::setSettingsFolder("");
        kernel::clearProfileCache();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    // The Windows-style path of a file in the folder, as the program names it.
    std::string win(const std::string& name) const {
        return kernel::programFolderWindows() + "\\" + name;
    }
    void writeBytes(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    std::string readBytes(const std::filesystem::path& rel) const {
        std::ifstream in(dir_ / rel, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path dir_;
};

}  // namespace qv::apptest
