// Folders and files for tests at every level: a scratch folder, the program's folder beside another,
// and a file's bytes read and written whole. Standard library only, so the platform's tests can use it.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace dravik::testkit {

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The names of the entries in a folder in UTF-8, sorted.
inline std::vector<std::string> Entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::u8string name = entry.path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A fresh folder, removed with everything in it at the end: under the system's temporary directory, or
// on Windows beside the test, since a plan saved inside the temporary folder is reported with a warning.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::filesystem::path& under =
#ifdef _WIN32
                               std::filesystem::current_path()
#else
                               std::filesystem::temp_directory_path()
#endif
    ) {
        std::random_device entropy;
        path_ = under / ("dravik-test-" + std::to_string(entropy()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const {
        return path_;
    }

    std::vector<std::string> Entries() const {
        return testkit::Entries(path_);
    }

private:
    std::filesystem::path path_;
};

// The program's folder, "app", inside a scratch folder (so that a write beside it would show), and a
// folder "elsewhere" beside it, where links may point; `plan` is the example's plan in "app".
struct ProgramFolder {
    ScratchFolder scratch;
    std::filesystem::path app = scratch.path() / "app";
    std::filesystem::path elsewhere = scratch.path() / "elsewhere";
    std::filesystem::path plan = app / "EAXA-EAXB.PLN";
    ProgramFolder() {
        std::filesystem::create_directory(app);
        std::filesystem::create_directory(elsewhere);
    }
    std::vector<std::string> AppEntries() const { return testkit::Entries(app); }
};

}  // namespace dravik::testkit
