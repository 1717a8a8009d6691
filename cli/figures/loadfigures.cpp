#include "cli/figures/runfigures.h"

#include <dlfcn.h>

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace velta {

const RunFigures* loadRunFigures(const std::string& programPath, std::string& why) {
    static const RunFigures* loaded = nullptr;
    if (loaded) return loaded;
    const fs::path dir = fs::path(programPath).parent_path();
    const std::vector<fs::path> places = {dir / kRunFiguresFile,
                                          dir / ".." / "lib" / "velta" / kRunFiguresFile};
    std::error_code ec;
    for (const auto& p : places) {
        if (!fs::exists(p, ec)) continue;
        const std::string file = p.lexically_normal().string();
        void* h = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!h) {
            const char* e = ::dlerror();
            why = "the module " + file + " cannot be loaded: " + (e ? e : "unknown error");
            return nullptr;
        }
        using Entry = const RunFigures* (*)();
        const auto entry = reinterpret_cast<Entry>(::dlsym(h, kRunFiguresEntry));
        const RunFigures* f = entry ? entry() : nullptr;
        if (!f || f->version != kRunFiguresVersion) {
            ::dlclose(h);
            why = "the module " + file + " is not the one of this build (reinstall the package)";
            return nullptr;
        }
        return loaded = f;
    }
    why = "pictures and SBML need the module " + std::string(kRunFiguresFile) + ", found neither in " +
          dir.string() + " nor in " + (dir / ".." / "lib" / "velta").lexically_normal().string();
    return nullptr;
}

}  // namespace velta
