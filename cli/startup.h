// The first steps velta-run and velta-sweep share: the application folder, the section
// with its task folder, and the data file as the command line names it.
#pragma once
#include <string>

namespace velta {

class AppPaths;
class Shell;
struct SectionInfo;

// The application folder: `given` (--root) or, without it, the program's own (build tree,
// or the per-user folder of an installed package). Absolute, without a trailing '/'.
// "" with the message in `why` when the per-user folder cannot be made.
std::string appFolder(const std::string& given, const char* argv0, std::string& why);

// Selects the section and, for a delay section, the task folder (Tau0 when `task` is "").
// Returns "" or why not (a task folder that does not exist).
std::string selectSection(Shell& shell, const SectionInfo& info, const std::string& task);

// The data file named `given`: as it is when absolute or found from the working folder,
// else in the section's data folder `dataFolder`, else under the application folder.
std::string findDataFile(const std::string& given, const std::string& dataFolder, const AppPaths& paths);

}  // namespace velta
