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

} // namespace velta
