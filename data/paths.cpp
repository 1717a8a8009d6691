#include "data/paths.h"

#include <filesystem>
#include <system_error>
#include <vector>

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

} // namespace

AppPaths::AppPaths(std::string root) : root_(std::move(root)) {
    while (root_.size() > 1 && (root_.back() == '/' || root_.back() == '\\')) root_.pop_back();
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
            if (cp >= 0x410 && cp <= 0x42F) cp += 0x20;        // А..Я -> а..я
            else if (cp >= 0x400 && cp <= 0x40F) cp += 0x50;   // Ѐ..Џ (Ё) -> ѐ..џ
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

} // namespace velta
