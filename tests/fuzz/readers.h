// Entry points of the reader fuzz targets: every parameter-file reader of the seventeen
// sections, the angle-file reader and the results-table readers of the 3D picture. Each
// takes raw bytes, feeds them to the reader and returns; a reading error is the expected
// outcome of bad input, anything else (crash, sanitizer report) is a fault.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velta::fuzz {

struct Target {
    std::string name;  // also the folder of its corpus: tests/fuzz/corpus/<name>
    void (*run)(const std::uint8_t* data, std::size_t size);
};

const std::vector<Target>& targets();
const Target* findTarget(const std::string& name);

}  // namespace velta::fuzz
