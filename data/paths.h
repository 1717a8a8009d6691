// The application folder and its User folder; package paths are written with "\" as in
// the menus and messages ("\User\Results.mnk") and matched without regard to letter case.
#pragma once
#include <string>

namespace velta {

class AppPaths {
public:
    // packageDir: folder of the package's read-only files (Help3.chm) when it is not the
    // application folder itself (an installed package working in a per-user folder).
    explicit AppPaths(std::string root, std::string packageDir = {});
    const std::string& root() const { return root_; }
    const std::string& packageDir() const { return packageDir_; }
    // "\Help3.chm" of the package: in the package folder, else in the application folder.
    std::string helpFile() const;
    // Native path of a package path relative to the application folder, e.g.
    // "\User\Results.mnk" or "User/Mnk/Tau1"; each existing component is matched without
    // regard to case, missing ones are kept as written.
    std::string resolve(const std::string& rel) const;
    std::string user() const { return resolve("\\User"); }
    std::string userFile(const std::string& name) const { return resolve("\\User\\" + name); }

private:
    std::string root_;
    std::string packageDir_;
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

// Where a program works. Three layouts are recognised, in this order:
//   build tree   <dir>/velta with <dir>/User beside it: works there;
//   installed    <prefix>/bin/velta with <prefix>/share/velta/{Help3.chm,User}: works there
//                when that User folder is writable, otherwise in the per-user folder
//                <data home>/velta/User, made from the installed User on first start;
//   otherwise    the nearest folder upward that holds "User" (findAppRoot).
struct AppLayout {
    std::string root;        // application folder: its "User" is the working folder
    std::string packageDir;  // folder of Help3.chm and of the User template
    bool installed = false;  // the program runs from an installed package
    bool perUser = false;    // working in the per-user folder
    std::string error;       // why the per-user folder could not be made, "" when it is fine
};

// dataHome and home as in $XDG_DATA_HOME and $HOME (either may be empty).
AppLayout resolveAppLayout(const std::string& programPath, const std::string& dataHome,
                           const std::string& home);
// The per-user layout of an installed package folder: <data home>/velta/User, made from
// packageDir/User when it does not exist yet.
AppLayout perUserLayout(const std::string& packageDir, const std::string& dataHome, const std::string& home);
// The same with $XDG_DATA_HOME and $HOME of the environment.
AppLayout resolveAppLayout(const std::string& programPath);
// <data home>/velta: $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share.
std::string perUserDataDir(const std::string& dataHome, const std::string& home);
// Copies every file of the folder tree "from" that is absent under "to"; an existing file
// is never overwritten. Returns "" or the reason of a failure.
std::string copyAbsentFiles(const std::string& from, const std::string& to);
// The running program's file (from /proc/self/exe), argv0 when that cannot be read.
std::string programFile(const char* argv0);

}  // namespace velta
