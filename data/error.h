// The one error type of the package: a failed conversion, a file that ends early,
// an index beyond a vector, a non-finite result. The command that started the work
// catches it, reports the message and leaves the package running.
#pragma once
#include <stdexcept>
#include <string>

namespace velta {

class VeltaError : public std::runtime_error {
public:
    explicit VeltaError(const std::string& message) : std::runtime_error(message) {}
};

// Ends the current command with its message.
[[noreturn]] inline void fail(const std::string& message) { throw VeltaError(message); }

// The answer of a command that needs the data read in first.
inline constexpr const char* kNotRead = "Исходные данные не введены: выполните «Ввод исходных данных»";

}  // namespace velta
