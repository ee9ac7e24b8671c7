#include "platform/kernel/SettingsStore.h"

#include "platform/kernel/Paths.h"
#include "platform/kernel/Profile.h"

#include <cstdlib>
#include <mutex>

namespace qv::kernel {
namespace {

std::mutex g_mutex;
std::string g_folderOverride;

// The application name becomes a file name: keep it to one path element.
std::string storeFile(std::string_view application) {
    std::string name(application.empty() ? std::string_view("Quorvane") : application);
    for (char& c : name)
        if (c == '/' || c == '\\' || c == '\0') c = '_';
    if (name == "." || name == "..") name = "_";
    return settingsFolder() + "/" + name + ".ini";
}

} // namespace

std::string settingsFolder() {
    {
        std::lock_guard lock(g_mutex);
        if (!g_folderOverride.empty()) return g_folderOverride;
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/') return std::string(config) + "/quorvane";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.config/quorvane";
}

void setSettingsFolder(std::string_view linuxFolder) {
    std::lock_guard lock(g_mutex);
    g_folderOverride = std::string(linuxFolder);
}

bool saveSetting(std::string_view application, std::string_view section, std::string_view key,
                 std::string_view value) {
    // The store's folder is ours to make (unlike the folder of an ini path the program names).
    if (!makeFolderTree(settingsFolder())) return false;
    return writeProfileString(storeFile(application), section, key, value);
}

std::string getSetting(std::string_view application, std::string_view section, std::string_view key,
                       std::string_view defaultValue) {
    ProfileString s = getProfileString(storeFile(application), section, key, {});
    return s.found ? s.text : std::string(defaultValue);
}

} // namespace qv::kernel
