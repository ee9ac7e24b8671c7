#pragma once
// The per-user settings store (SaveSetting / GetSetting): one ini file per application under
// $XDG_CONFIG_HOME/quorvane/ (~/.config/quorvane/ when unset), "<application>.ini", with the
// section and key given ("Settings\PrintPv", "Left").
#include <string>
#include <string_view>

namespace qv::kernel {

bool saveSetting(std::string_view application, std::string_view section, std::string_view key,
                 std::string_view value);
// The stored value, or `defaultValue` when the key is not stored.
std::string getSetting(std::string_view application, std::string_view section, std::string_view key,
                       std::string_view defaultValue = {});

// Folder of the store; tests may set it ("" restores the default).
std::string settingsFolder();
void setSettingsFolder(std::string_view linuxFolder);

} // namespace qv::kernel
