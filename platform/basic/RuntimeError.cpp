#include "platform/basic/RuntimeError.h"

#include <iterator>
#include <utility>
#include <vector>

namespace qv::basic {

namespace {

// The language's own texts for the errors this system can meet.
const std::pair<int, const char*> kErrorTexts[] = {
    {5, "Invalid procedure call or argument"},
    {6, "Overflow"},
    {7, "Out of memory"},
    {9, "Subscript out of range"},
    {11, "Division by zero"},
    {13, "Type mismatch"},
    {48, "Error in loading DLL"},
    {52, "Bad file name or number"},
    {53, "File not found"},
    {55, "File already open"},
    {57, "Device I/O error"},
    {58, "File already exists"},
    {61, "Disk full"},
    {62, "Input past end of file"},
    {70, "Permission denied"},
    {75, "Path/File access error"},
    {76, "Path not found"},
    {91, "Object variable or With block variable not set"},
    {380, "Invalid property value"},
    {383, "Property is read-only"},
    {453, "Can't find DLL entry point"},
    {457, "This key is already associated with an element of this collection"},
};

}  // namespace

const std::string& defaultDescription(int number) {
    // Built once; never changed afterwards, so concurrent readers are safe.
    static const std::vector<std::pair<int, std::string>> table(std::begin(kErrorTexts),
                                                                std::end(kErrorTexts));
    static const std::string applicationDefined = "Application-defined or object-defined error";
    for (const auto& [n, text] : table)
        if (n == number) return text;
    return applicationDefined;
}

RuntimeError::RuntimeError(int number, std::string description)
    : number_(number),
      description_(description.empty() ? defaultDescription(number) : std::move(description)) {
    what_ = "Run-time error '" + std::to_string(number_) + "': " + description_;
}

void raiseError(int number, std::string description) {
    throw RuntimeError(number, std::move(description));
}

}  // namespace qv::basic
