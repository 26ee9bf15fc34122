#pragma once
// A fresh folder under the system's temporary directory, removed with its contents.
#include <filesystem>
#include <stdlib.h>
#include <string>

namespace kavex::test {

struct TempDir {
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kavex-test-XXXXXX").string();
        root = ::mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::filesystem::path root;
};

} // namespace kavex::test
