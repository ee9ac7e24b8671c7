#pragma once
// Settings are the values of the windows' controls. This module writes every persistable
// control of a window into a settings file (one section a control), reads them back, restores
// list items from a parameter file's "LISTBOX" section and sets one named property of one named
// control of a loaded window.
#include <string>
#include <vector>

namespace qv::forms {
class Form;
class ListBox;
}  // namespace qv::forms

namespace qv {

// True for the controls that are never saved or restored (a control array as a whole).
bool IsExcludedControl(const std::string& windowName, const std::string& controlName);

// Writes the check boxes, text boxes, combo boxes, option buttons and list boxes of `window`
// into `fileName` ("" means the program folder's "Debug\Property.ini"), which stays the current
// ini file. Returns false when a key could not be written or the file not synced to disk.
bool SaveFormControls(forms::Form& window, const std::string& fileName);

// Restores what SaveFormControls wrote: Text (read whole, comment characters included),
// ListIndex and Value, each defaulting to the control's present value; then, for windows whose
// list entries are saved, the entries missing from the lists (all of them when allowDuplicates).
// A file the search path does not find changes nothing; otherwise it stays the current ini file.
void LoadFormControls(forms::Form& window, const std::string& fileName, bool allowDuplicates);

// Replaces the entries of `list` with those of section "LISTBOX" of `fileName` (the list's name
// & ".ListCount" entries, keys name & "(i)"). The current ini file is restored afterwards.
void LoadListBoxItems(const std::string& fileName, forms::ListBox& list);
// The entries of section "LISTBOX" of the current ini file saved for the list of that name,
// their count capped as ListCountFromText caps it.
std::vector<std::string> ReadListBoxItems(const std::string& listName);

// Sets `property` ("FileName", "Text", "Caption", "ListIndex", "Value", "Enabled", "Width",
// "Height", "Top" or "Left") of the control `controlName` ("txtName(3)" names an element of a
// control array) on the loaded window `windowName`. False only when no such window is loaded:
// a missing control, another property name or a refused value are passed over.
bool SetControlProperty(const std::string& windowName, const std::string& controlName,
                        const std::string& property, const std::string& value);

}  // namespace qv
