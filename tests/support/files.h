// Reading files back in tests.
#pragma once
#include <fstream>
#include <sstream>
#include <string>

namespace velta::test {

// The raw bytes of a file; empty when there is none.
inline std::string bytesOf(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace velta::test
