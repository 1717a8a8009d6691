// libFuzzer entry of one reader, chosen at build time by VELTA_FUZZ_TARGET.
#include "fuzz/readers.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const velta::fuzz::Target* target = [] {
        const auto* t = velta::fuzz::findTarget(VELTA_FUZZ_TARGET);
        if (!t) {
            std::fprintf(stderr, "no fuzz target %s\n", VELTA_FUZZ_TARGET);
            std::abort();
        }
        return t;
    }();
    target->run(data, size);
    return 0;
}
