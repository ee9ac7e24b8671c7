#include "app/common/modSetting.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "app/common/IniSet.h"
#include "app/common/modFile.h"
#include "app/common/modIniFile.h"
#include "app/common/modSub_Combobox.h"
#include "app/common/modSub_ListBox.h"
#include "platform/basic/Basic.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Runtime.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/Profile.h"

namespace qv {

namespace {

struct Exclusion {
    std::string_view window;
    std::string_view control;
};

// Controls whose state belongs to the session, not to a settings file.
constexpr Exclusion kExcluded[] = {
    {"Acqisition", "chkAutoDirectory"},
    {"Acqisition", "chkDispBUFF_SWEEP_F"},
    {"Acqisition", "chkDispFolder"},
    {"Acqisition", "chkSTMEM"},
    {"Acqisition", "chkMean"},
    {"Acqisition", "chkDispWideWave"},
    {"Acqisition", "chkDispMarkAndMove"},
    {"Acqisition", "chkDispBufferDebug"},
    {"Acqisition", "chkDispMakeWave"},
    {"Acqisition", "chkDispMemo"},
    {"Acqisition", "chkDispADCPAINT"},
    {"Acqisition", "chkDetectR"},
    {"Acqisition", "chkDispfrmRRInt"},
    {"Acqisition", "txtDetectRCHNo"},
    {"Acqisition", "chk取込中マーク操作禁止"},
    {"Acqisition", "optCalAcq"},
    {"Acqisition", "optCalDisp"},
    {"Acqisition2", "chkDispVylB50"},
    {"Acqisition2", "chkDispCAM_TEST"},
    {"Acqisition2", "chkAutoACQ"},
    {"frmGraphMemo", "cmbLineTypes"},
    {"frmGraphMemo", "cmbLineTypesEd"},
};

// The list entries of these windows are filled by their own code, so they are not stored.
bool listsAreStored(const std::string& windowName) {
    return windowName != "Acqisition" && windowName != "frmSelectAmp" &&
           windowName != "frmCondition";
}

bool isPersisted(const forms::Control& c) {
    switch (c.type()) {
        case forms::ControlType::CheckBox:
        case forms::ControlType::TextBox:
        case forms::ControlType::ComboBox:
        case forms::ControlType::OptionButton:
        case forms::ControlType::ListBox:
            return true;
        default:
            return false;
    }
}


int32_t readCount(std::string_view section, std::string_view key, std::string_view defaultValue) {
    return ListCountFromText(ReadIniString(section, key, defaultValue));
}

std::string listKey(int32_t j) { return "List(" + basic::CStr(j) + ")"; }

// "" means the program folder's Debug\Property.ini; the Debug folder is made either way.
std::string settingsFile(const std::string& fileName) {
    kernel::makeDirectory(ProgramFile("Debug"));
    return fileName.empty() ? ProgramFile("Debug\\Property.ini") : fileName;
}


// Runs `action` on every persisted, not excluded control of the window in its control order,
// letting pending messages run after each control. Handlers that run then may unload controls
// or the window itself, so each control is looked up again by name and index.
template <class Action>
void forEachPersistedControl(forms::Form& window, Action action) {
    std::vector<std::pair<std::string, int>> order;
    for (const forms::Control* c : window.Controls()) order.emplace_back(c->Name(), c->Index());
    const std::string windowName = window.Name();
    for (const auto& [name, index] : order) {
        if (!forms::Runtime::get().isLoadedForm(&window)) return;
        forms::Control* c = window.findControl(name, index);
        if (c && isPersisted(*c) && !IsExcludedControl(windowName, name))
            action(*c, windowName + "." + c->fullName());
        forms::DoEvents();
    }
}

// Writes one key of the control's section when the control has the property.
bool saveProperty(const forms::Control& c, const std::string& section, std::string_view property) {
    std::string value;
    try {
        if (!c.hasProperty(property)) return true;
        value = c.get(property).toString();
    } catch (const basic::RuntimeError&) {
        return true;  // nothing to save in the control's present state
    }
    return WriteIniString(section, property, value);
}

// Sets one property from the file, the present value being the default; a property the
// control lacks is passed over, and a stored value it refuses is passed over and logged.
void loadProperty(forms::Control& c, const std::string& section, std::string_view property,
                  std::string_view raw) {
    std::string present, stored;
    try {
        if (!c.hasProperty(property)) return;
        present = c.get(property).toString();
        stored = ReadIniString(section, property, present, raw);
    } catch (const basic::RuntimeError&) {
        return;  // nothing to read in the control's present state
    }
    try {
        c.set(property, forms::PropValue(stored));
    } catch (const basic::RuntimeError&) {
        if (stored != present) LogRefusedSetting(stored, section + "." + std::string(property));
    }
}

void loadListEntries(forms::ListControl& list, const std::string& section, bool allowDuplicates) {
    const int32_t count = readCount(section, "ListCount", basic::CStr(list.ListCount()));
    auto* combo = dynamic_cast<forms::ComboBox*>(&list);
    for (int32_t j = 0; j < count; ++j) {
        const std::string item = ReadIniString(section, listKey(j), "");
        if (item.empty()) continue;
        const int16_t found = combo ? ComboBox_FindItem(*combo, item) : ListBox_FindItem(list, item);
        if (allowDuplicates || found == -1) list.AddItem(item);
    }
}

}  // namespace

bool IsExcludedControl(const std::string& windowName, const std::string& controlName) {
    return std::any_of(std::begin(kExcluded), std::end(kExcluded), [&](const Exclusion& e) {
        return e.window == windowName && e.control == controlName;
    });
}

bool SaveFormControls(forms::Form& window, const std::string& fileName) {
    SetIniFileName(settingsFile(fileName));
    // Thousands of keys: the file is written once, at the end, instead of once a key.
    kernel::ProfileBatch batch(GetIniFileName());
    bool ok = true;
    forEachPersistedControl(window, [&](forms::Control& c, const std::string& section) {
        ok &= WriteIniString(section, "Name", c.Name());
        for (std::string_view property : {"Text", "ListIndex", "ListCount", "Value"})
            ok &= saveProperty(c, section, property);
        auto* list = dynamic_cast<forms::ListControl*>(&c);
        if (!list || !listsAreStored(c.parentForm().Name())) return;
        for (int32_t j = 0; j < list->ListCount(); ++j) {
            const std::string item = list->List(j);
            if (!item.empty()) ok &= WriteIniString(section, listKey(j), item);
        }
    });
    const bool written = batch.commit();
    return written && FlushIniFile() && ok;
}

void LoadFormControls(forms::Form& window, const std::string& fileName, bool allowDuplicates) {
    const std::string file = settingsFile(fileName);
    if (FindFile(file, true).empty()) return;
    SetIniFileName(file);
    forEachPersistedControl(window, [&](forms::Control& c, const std::string& section) {
        // Texts come back whole: a saved ";" or TAB is part of the text, not a comment.
        loadProperty(c, section, "Text", "True");
        loadProperty(c, section, "ListIndex", "False");
        loadProperty(c, section, "Value", "False");
        auto* list = dynamic_cast<forms::ListControl*>(&c);
        if (list && listsAreStored(c.parentForm().Name()))
            loadListEntries(*list, section, allowDuplicates);
    });
}

std::vector<std::string> ReadListBoxItems(const std::string& listName) {
    const int32_t count = readCount("LISTBOX", listName + ".ListCount", "0");
    std::vector<std::string> items;
    items.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        items.push_back(ReadIniString("LISTBOX", listName + "(" + basic::CStr(i) + ")", ""));
    return items;
}

void LoadListBoxItems(const std::string& fileName, forms::ListBox& list) {
    IniPathGuard guard(fileName);
    list.Clear();
    for (const std::string& item : ReadListBoxItems(list.Name())) list.AddItem(item);
}

bool SetControlProperty(const std::string& windowName, const std::string& controlName,
                        const std::string& property, const std::string& value) {
    forms::Runtime& rt = forms::Runtime::get();
    forms::Form* window = nullptr;
    // Pending messages run between windows, so the list of windows is taken afresh each time.
    for (size_t i = 0;; ++i) {
        const std::vector<forms::Form*> loaded = rt.Forms();
        if (i >= loaded.size()) break;
        if (loaded[i]->Name() == windowName) {
            window = loaded[i];
            break;
        }
        rt.DoEvents();
    }
    if (!window) return false;

    static constexpr std::string_view kProperties[] = {"FileName", "Text",  "Caption", "ListIndex",
                                                       "Value",    "Enabled", "Width", "Height",
                                                       "Top",      "Left"};
    const bool known = std::find(std::begin(kProperties), std::end(kProperties), property) !=
                       std::end(kProperties);
    forms::Control* c = window->findControlByFullName(controlName);
    if (known && c) {
        try {
            c->set(property, forms::PropValue(value));
        } catch (const basic::RuntimeError&) {
        }
    }
    return true;
}

}  // namespace qv
