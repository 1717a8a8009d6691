#include "graphics/cpustate.h"

namespace velta {

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
namespace {
__attribute__((target("avx"))) void zeroUpper() { __builtin_ia32_vzeroupper(); }
const bool kHasAvx = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") != 0;
}();
}  // namespace

void clearAvxUpperState() {
    if (kHasAvx) zeroUpper();
}
#else
void clearAvxUpperState() {}
#endif

}  // namespace velta
