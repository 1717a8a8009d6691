// The application folder and its User folder; package paths are written with "\" as in
// the menus and messages ("\User\Results.mnk") and matched without regard to letter case.
#pragma once
#include <string>

namespace velta {

class AppPaths {
public:
    explicit AppPaths(std::string root);
    const std::string& root() const { return root_; }
    // Native path of a package path relative to the application folder, e.g.
    // "\User\Results.mnk" or "User/Mnk/Tau1"; each existing component is matched without
    // regard to case, missing ones are kept as written.
    std::string resolve(const std::string& rel) const;
    std::string user() const { return resolve("\\User"); }
    std::string userFile(const std::string& name) const { return resolve("\\User\\" + name); }

private:
    std::string root_;
};

bool fileExists(const std::string& path);
bool dirExists(const std::string& path);
bool removeFile(const std::string& path);  // false when missing or not removable
// Lower case for ASCII and Cyrillic letters of a UTF-8 text (used to match names).
std::string lowerUtf8(const std::string& s);
// Path with the prefix removed when it starts with it (compared without regard to case).
std::string stripPrefix(const std::string& path, const std::string& prefix);

// The application folder next to a program: the nearest folder upward from the
// program's folder that holds "User" (the build lays one out beside the programs).
std::string findAppRoot(const std::string& programPath);

} // namespace velta
