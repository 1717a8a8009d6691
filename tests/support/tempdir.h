// A fresh application folder under /tmp with a User subfolder, removed at the end of a test.
#pragma once
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>

namespace velta::test {

class TempApp {
public:
    TempApp() {
        namespace fs = std::filesystem;
        static int counter = 0;
        root_ = fs::temp_directory_path() /
                ("velta_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter));
        fs::remove_all(root_);
        fs::create_directories(root_ / "User");
    }
    ~TempApp() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    TempApp(const TempApp&) = delete;
    TempApp& operator=(const TempApp&) = delete;

    std::string root() const { return root_.string(); }
    std::string user() const { return (root_ / "User").string(); }
    std::string path(const std::string& rel) const { return (root_ / rel).string(); }
    // Writes raw bytes to a file below the root, creating folders.
    void write(const std::string& rel, const std::string& bytes) const {
        auto p = root_ / rel;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    void mkdir(const std::string& rel) const { std::filesystem::create_directories(root_ / rel); }
    bool exists(const std::string& rel) const { return std::filesystem::exists(root_ / rel); }

private:
    std::filesystem::path root_;
};

}  // namespace velta::test
