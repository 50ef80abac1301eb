// The steps of a save that differ from system to system, one implementation in each system's file;
// save.cpp puts them in order once, for both (ReplaceFileContents in platform.h). Tests reach the save
// through here with a write step of their own.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/platform.h"

namespace dravik {

// An open file as the system hands it out: a descriptor on POSIX, a HANDLE on Windows.
#ifdef _WIN32
using NativeFile = void*;
#else
using NativeFile = int;
#endif

// The step that writes the bytes into the new file; tests swap it to make a save fail part-way.
using WriteStep = std::error_code (*)(NativeFile file, std::string_view bytes);

// ReplaceFileContents with its write step given.
std::error_code ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes,
                                    WriteStep write);

}  // namespace dravik

namespace dravik::save {

using NativePath = std::filesystem::path::string_type;

// What stands where the plan goes, before the save.
struct Target {
    NativePath path;         // where the plan really is: links followed (on Windows, a \\?\ path)
    bool replacing = false;  // an earlier plan is there
    unsigned long kept = 0;  // what a new plan takes over from it: permission bits, or attributes
};

// Where the plan really is, and whether an earlier one may be replaced there; an error refuses the save.
std::error_code Resolve(const std::filesystem::path& requested, Target& target);
// Creates `path` for writing only if nothing is there; sets `exists` when something was.
std::error_code CreateNew(const NativePath& path, NativeFile& file, bool& exists);
std::error_code WriteAll(NativeFile file, std::string_view bytes);
// WriteAll's loop, the same on both systems: `piece(rest, written)` writes some of `rest` and says how
// much. A piece that reports success with nothing written, as a FUSE file system may, fails the write
// with `nothingWritten` rather than being asked again for ever.
template <typename Piece>
std::error_code WriteInPieces(std::string_view bytes, Piece piece, std::error_code nothingWritten) {
    while (!bytes.empty()) {
        std::size_t written = 0;
        if (const std::error_code error = piece(bytes, written)) {
            return error;
        }
        if (written == 0) {
            return nothingWritten;
        }
        bytes.remove_prefix(written);
    }
    return {};
}
std::error_code Sync(NativeFile file);
std::error_code Close(NativeFile file);
// The new plan takes over what the earlier one had where the file system can hold it: a courtesy, never
// a reason to refuse a save (a FAT stick holds no permission bits).
void TakeOverFromEarlier(const NativePath& path, const Target& target);
std::error_code MoveOver(const NativePath& from, const NativePath& to);
void Remove(const NativePath& path);
// Makes the move itself durable where the system needs a step for it; the plan is complete by then.
void SyncFolder(const NativePath& folder);

}  // namespace dravik::save
