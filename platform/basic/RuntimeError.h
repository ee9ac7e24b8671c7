#pragma once
// Run-time errors of the original language: one exception type carrying the error number and
// its description. Handlers at event-dispatch boundaries catch it, log it and show it.

#include <exception>
#include <string>

namespace qv::basic {

// Error numbers the program and the platform raise.
enum ErrorNumber : int {
    errInvalidCall = 5,        // invalid procedure call or argument
    errOverflow = 6,
    errOutOfMemory = 7,
    errSubscript = 9,          // subscript out of range
    errDivisionByZero = 11,
    errTypeMismatch = 13,
    errDllLoad = 48,           // library failed to load
    errFileNotFound = 53,
    errObjectNotSet = 91,
    errInvalidProperty = 380,
    errReadOnlyProperty = 383,
    errEntryPointNotFound = 453,
    errDuplicateKey = 457,     // a collection already holds the key
    errApplication = 30000,    // the program's own error (argument checks)
};

class RuntimeError : public std::exception {
public:
    // An empty description takes the language's default text for the number.
    explicit RuntimeError(int number, std::string description = {});

    int number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    // "Run-time error 'N': description", for logs and test output.
    const char* what() const noexcept override { return what_.c_str(); }

private:
    int number_;
    std::string description_;
    std::string what_;
};

// The language's default description of an error number (English). Numbers without a text of
// their own get "Application-defined or object-defined error", as the language gave them.
const std::string& defaultDescription(int number);

[[noreturn]] void raiseError(int number, std::string description = {});

}  // namespace qv::basic
