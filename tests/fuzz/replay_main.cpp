// Replays the committed fuzz corpora through the same entry functions without libFuzzer:
//   velta_fuzz_replay CORPUS_DIR [TARGET...]
// Every target must have a non-empty corpus folder; a crash or sanitizer report fails the run.
#include "fuzz/readers.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: velta_fuzz_replay CORPUS_DIR [TARGET...]\n";
        return 2;
    }
    const fs::path root = argv[1];
    std::vector<std::string> names;
    for (int i = 2; i < argc; ++i) names.push_back(argv[i]);
    if (names.empty())
        for (const auto& t : velta::fuzz::targets()) names.push_back(t.name);
    int failures = 0;
    std::size_t total = 0;
    for (const auto& name : names) {
        const auto* t = velta::fuzz::findTarget(name);
        if (!t) {
            std::cerr << "unknown target " << name << "\n";
            ++failures;
            continue;
        }
        std::vector<fs::path> files;
        std::error_code ec;
        for (fs::directory_iterator it(root / name, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file()) files.push_back(it->path());
        std::sort(files.begin(), files.end());
        if (files.empty()) {
            std::cerr << name << ": no corpus in " << (root / name) << "\n";
            ++failures;
            continue;
        }
        for (const auto& f : files) {
            std::ifstream in(f, std::ios::binary);
            const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
            t->run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        }
        std::cout << name << ": " << files.size() << " inputs\n";
        total += files.size();
    }
    std::cout << total << " inputs replayed\n";
    return failures == 0 ? 0 : 1;
}
