#pragma once
// Files of the working directory. Every file the program writes goes through
// writeFileAtomically: a crash or a full disk never leaves half a file, and a failed
// write leaves the old file in place and reports the failure.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kavex {

// The folder all program files live in; tests hand in a temporary folder.
class WorkingDirectory {
  public:
    explicit WorkingDirectory(std::filesystem::path root) : root_(std::move(root)) {}
    std::filesystem::path path(std::string_view fileName) const { return root_ / std::string(fileName); }
    const std::filesystem::path& root() const { return root_; }

  private:
    std::filesystem::path root_;
};

// Writes the bytes to a temporary file in the same folder, flushes and syncs it, renames
// it over `target` and syncs the folder. Throws Failure with a description on any error.
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Many files replaced together with one flush to disk instead of one per file: add()
// writes each to a temporary file in the target's folder, commit() flushes the file
// system once and then renames every temporary over its target. Until commit() no
// target changes; temporaries that were never committed are removed.
class AtomicFileBatch {
  public:
    AtomicFileBatch() = default;
    ~AtomicFileBatch();
    AtomicFileBatch(const AtomicFileBatch&) = delete;
    AtomicFileBatch& operator=(const AtomicFileBatch&) = delete;

    // Throws Failure when the temporary cannot be written; nothing is replaced then.
    void add(const std::filesystem::path& target, std::string_view bytes);
    // Returns, for each target that could not be replaced, the target and the description.
    std::vector<std::pair<std::filesystem::path, std::string>> commit();

  private:
    struct Pending {
        std::filesystem::path temp, target;
    };
    std::vector<Pending> pending_;
};

// Removes the temporaries that writeFileAtomically and AtomicFileBatch leave behind when
// the program dies between writing one and renaming it: "." + file name + "." + six
// letters or digits. Other files are left alone. Returns how many were removed.
int removeStaleTemporaries(const std::filesystem::path& folder);

// The whole file as bytes; throws Failure("File not found") when it cannot be read.
std::string readFileBytes(const std::filesystem::path& file);

// Text files: lines in the program's UTF-8, stored as Windows-1252 with CR LF.
// Reading accepts CR LF and bare LF; a last line without an ending is kept.
std::vector<std::string> readTextLines(const std::filesystem::path& file);
std::string encodeTextLines(const std::vector<std::string>& lines);
void writeTextLines(const std::filesystem::path& file, const std::vector<std::string>& lines);

} // namespace kavex
