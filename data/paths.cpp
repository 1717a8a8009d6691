#include "data/paths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace velta {

namespace {

// Splits a package path at "\" and "/", dropping empty components (so the doubled
// separator of "\User\Z_Bank\" & "\СимАвто.txt" counts as one).
std::vector<std::string> components(const std::string& rel) {
    std::vector<std::string> out;
    std::string cur;
    for (char ch : rel) {
        if (ch == '\\' || ch == '/') {
            if (!cur.empty()) out.push_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

}  // namespace

AppPaths::AppPaths(std::string root, std::string packageDir)
    : root_(std::move(root)), packageDir_(std::move(packageDir)) {
    while (root_.size() > 1 && (root_.back() == '/' || root_.back() == '\\')) root_.pop_back();
}

std::string AppPaths::helpFile() const {
    if (!packageDir_.empty() && packageDir_ != root_) return AppPaths(packageDir_).resolve("\\Help3.chm");
    return resolve("\\Help3.chm");
}

std::string AppPaths::resolve(const std::string& rel) const {
    fs::path p(root_);
    bool exists = true;
    for (const auto& comp : components(rel)) {
        if (comp == ".") continue;
        if (exists) {
            // Find an existing entry whose name matches without regard to case.
            std::error_code ec;
            fs::path exact = p / comp;
            if (fs::exists(exact, ec)) {
                p = exact;
                continue;
            }
            const std::string want = lowerUtf8(comp);
            bool found = false;
            for (fs::directory_iterator it(p, ec), end; !ec && it != end; it.increment(ec)) {
                if (lowerUtf8(it->path().filename().string()) == want) {
                    p = it->path();
                    found = true;
                    break;
                }
            }
            if (found) continue;
            exists = false;
        }
        p /= comp;
    }
    return p.string();
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool dirExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool removeFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec) && fs::remove(path, ec) && !ec;
}

std::string lowerUtf8(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c + 32);
        } else if ((c == 0xD0 || c == 0xD1) && i + 1 < s.size()) {
            unsigned char d = static_cast<unsigned char>(s[i + 1]);
            unsigned cp = ((c & 0x1Fu) << 6) | (d & 0x3Fu);
            if (cp >= 0x410 && cp <= 0x42F) cp += 0x20;       // А..Я -> а..я
            else if (cp >= 0x400 && cp <= 0x40F) cp += 0x50;  // Ѐ..Џ (Ё) -> ѐ..џ
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string stripPrefix(const std::string& path, const std::string& prefix) {
    if (path.size() >= prefix.size() && lowerUtf8(path.substr(0, prefix.size())) == lowerUtf8(prefix))
        return path.substr(prefix.size());
    return path;
}

std::string findAppRoot(const std::string& programPath) {
    std::error_code ec;
    fs::path dir = fs::weakly_canonical(fs::absolute(programPath, ec), ec).parent_path();
    for (fs::path d = dir; !d.empty(); d = d.parent_path()) {
        if (fs::is_directory(d / "User", ec)) return d.string();
        if (d == d.parent_path()) break;
    }
    return dir.string();
}

std::string perUserDataDir(const std::string& dataHome, const std::string& home) {
    if (!dataHome.empty() && dataHome.front() == '/') return (fs::path(dataHome) / "velta").string();
    std::string h = home;
    if (h.empty()) {
        if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) h = pw->pw_dir;
    }
    if (h.empty()) h = fs::temp_directory_path().string();
    return (fs::path(h) / ".local" / "share" / "velta").string();
}

std::string copyAbsentFiles(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::create_directories(to, ec);
    if (ec) return "Не удаётся создать папку " + to;
    for (fs::recursive_directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path dst = fs::path(to) / fs::relative(it->path(), from, ec);
        if (ec) break;
        if (it->is_directory(ec)) {
            fs::create_directories(dst, ec);
        } else if (!fs::exists(fs::symlink_status(dst, ec))) {
            fs::copy_file(it->path(), dst, fs::copy_options::skip_existing, ec);
        }
        if (ec) return "Не удаётся записать " + dst.string();
    }
    if (ec) return "Не удаётся прочитать папку " + from;
    return {};
}

AppLayout resolveAppLayout(const std::string& programPath, const std::string& dataHome,
                           const std::string& home) {
    std::error_code ec;
    const fs::path dir = fs::weakly_canonical(fs::absolute(programPath, ec), ec).parent_path();
    AppLayout l;
    if (fs::is_directory(dir / "User", ec)) {
        l.root = l.packageDir = dir.string();
        return l;
    }
    const fs::path share = (dir.parent_path() / "share" / "velta").lexically_normal();
    if (!fs::is_directory(share / "User", ec)) {
        l.root = l.packageDir = findAppRoot(programPath);
        return l;
    }
    l.installed = true;
    l.packageDir = share.string();
    if (::access((share / "User").c_str(), W_OK) == 0) {
        l.root = share.string();
        return l;
    }
    // The package folder is read-only: work in the user's own copy of it.
    return perUserLayout(l.packageDir, dataHome, home);
}

AppLayout perUserLayout(const std::string& packageDir, const std::string& dataHome, const std::string& home) {
    std::error_code ec;
    AppLayout l;
    l.installed = l.perUser = true;
    l.packageDir = packageDir;
    l.root = perUserDataDir(dataHome, home);
    const fs::path user = fs::path(l.root) / "User";
    if (fs::exists(fs::symlink_status(user, ec))) return l;  // made before: the user's files stay
    // Made aside and renamed, so that an interrupted first start leaves no half-made folder.
    const fs::path part = fs::path(l.root) / (".User.part" + std::to_string(::getpid()));
    fs::remove_all(part, ec);
    l.error = copyAbsentFiles((fs::path(packageDir) / "User").string(), part.string());
    if (l.error.empty()) {
        fs::rename(part, user, ec);
        if (ec && !fs::is_directory(user, ec)) l.error = "Не удаётся создать папку " + user.string();
    }
    fs::remove_all(part, ec);
    return l;
}

AppLayout resolveAppLayout(const std::string& programPath) {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    return resolveAppLayout(programPath, xdg ? xdg : "", home ? home : "");
}

std::string programFile(const char* argv0) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && !self.empty()) return self.string();
    return argv0 ? argv0 : "";
}

}  // namespace velta
