#include "cli/startup.h"

#include "app/shell.h"
#include "data/catalogue.h"
#include "data/paths.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace velta {

std::string appFolder(const std::string& given, const char* argv0, std::string& why) {
    std::string root = given;
    if (root.empty()) {
        const AppLayout layout = resolveAppLayout(programFile(argv0));
        if (!layout.error.empty()) {
            why = layout.error;
            return {};
        }
        root = layout.root;
    }
    root = fs::absolute(root).lexically_normal().string();
    if (root.size() > 1 && root.back() == '/') root.pop_back();
    return root;
}

std::string selectSection(Shell& shell, const SectionInfo& info, const std::string& task) {
    shell.Sect_Select(info.code);
    if (info.group != 'D' || !shell.current()) return {};  // a section not built is reported by the caller
    const std::string t = task.empty() ? std::string("Tau0") : task;
    if (std::find(shell.taskItems.begin(), shell.taskItems.end(), t) == shell.taskItems.end())
        return "no task folder " + t + " under " +
               (fs::path("User") / info.subdir.substr(0, info.subdir.find('\\'))).string();
    shell.Combo1_Click(t);
    return {};
}

std::string findDataFile(const std::string& given, const std::string& dataFolder, const AppPaths& paths) {
    if (fs::path(given).is_absolute() || fileExists(given)) return given;
    const std::string inFolder = AppPaths(dataFolder).resolve(given);
    return fileExists(inFolder) ? inFolder : paths.resolve(given);
}

}  // namespace velta
