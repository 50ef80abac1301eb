// A save that either completes or leaves the earlier plan alone, written once for every system from the
// steps in save_steps.h.
#include <random>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/save_steps.h"

namespace dravik {

namespace {

using save::NativePath;

// Where a path's last component starts; Windows takes "/" as a separator too.
std::size_t NameStart(const NativePath& path) {
    const NativePath::value_type separators[] = {
        '/', static_cast<NativePath::value_type>(std::filesystem::path::preferred_separator), 0};
    return path.find_last_of(separators) + 1;  // npos + 1 is 0: a name alone starts at once
}

// The new file of a save: open until Close(), and removed again unless MovedIntoPlace() says it has
// become the plan. Closed before it is removed: Windows removes an open file only once it is closed.
class NewFile {
public:
    NewFile(NativeFile file, NativePath path) : file_(file), path_(std::move(path)) {}
    ~NewFile() {
        if (open_) {
            static_cast<void>(save::Close(file_));
        }
        if (!path_.empty()) {
            save::Remove(path_);
        }
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    [[nodiscard]] NativeFile file() const { return file_; }
    [[nodiscard]] const NativePath& path() const { return path_; }
    // Closes now so that a failing close, which can report a late write error, is seen.
    std::error_code Close() {
        open_ = false;
        return save::Close(file_);
    }
    void MovedIntoPlace() { path_.clear(); }

private:
    NativeFile file_;
    NativePath path_;
    bool open_ = true;
};

// A fresh file beside `target` under a name nobody else uses: ".NAME.xxxxxxxx.tmp", hidden where a
// leading dot hides a file.
std::error_code CreateBeside(const NativePath& target, NativeFile& file, NativePath& created) {
    std::random_device entropy;
    std::uniform_int_distribution<std::size_t> digit(0, 35);
    constexpr std::string_view kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
    const std::size_t nameStart = NameStart(target);
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        created = target.substr(0, nameStart);
        created += '.';
        created += target.substr(nameStart);
        created += '.';
        for (int i = 0; i < 8; ++i) {
            created += static_cast<NativePath::value_type>(kDigits[digit(entropy)]);
        }
        for (const char c : std::string_view(".tmp")) {
            created += static_cast<NativePath::value_type>(c);
        }
        bool exists = false;
        error = save::CreateNew(created, file, exists);
        if (!exists) {  // made, or failed for another reason than the name
            return error;
        }
    }
    return error;
}

}  // namespace

std::error_code ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes) {
    return ReplaceFileContents(target, bytes, &save::WriteAll);
}

std::error_code ReplaceFileContents(const std::filesystem::path& requested, std::string_view bytes,
                                    WriteStep write) {
    save::Target target;
    if (auto refused = save::Resolve(requested, target)) {
        return refused;
    }
    // Made before the move, so that nothing after it can fail for want of memory.
    // Plans are named by whole paths (the program's folder and the name), so the folder is never empty.
    const NativePath folder = target.path.substr(0, NameStart(target.path));

    NativeFile handle{};
    NativePath path;
    if (auto failed = CreateBeside(target.path, handle, path)) {
        return failed;
    }
    NewFile file(handle, std::move(path));
    if (auto failed = write(file.file(), bytes)) {
        return failed;
    }
    // The data must be on disk before the move makes it the plan, or a crash could leave an empty file.
    if (auto failed = save::Sync(file.file())) {
        return failed;
    }
    if (auto failed = file.Close()) {
        return failed;
    }
    if (target.replacing) {
        save::TakeOverFromEarlier(file.path(), target);
    }
    if (auto failed = save::MoveOver(file.path(), target.path)) {
        return failed;
    }
    file.MovedIntoPlace();
    save::SyncFolder(folder);
    return {};
}

}  // namespace dravik
