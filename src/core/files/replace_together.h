#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/files/file_io.h"

namespace sora {

/// A file that changes together with others, and the name its new content is first written under (made unique as
/// in replace_file). The target must lie in the journal's folder.
struct TogetherFile {
    std::filesystem::path target;
    std::filesystem::path temporary;
};

/// One file of a joint replace and its new bytes.
struct TogetherMember {
    TogetherFile file;
    std::string bytes;
    const FileStamp* expected = nullptr;  // when given, the target must still be that file
    bool remove = false;                  // the target goes (its bytes are ignored); nothing to do when it is absent
};

/// Outcome of a joint replace.
struct TogetherResult {
    WriteResult write;             // ok, or the failure naming the file
    std::filesystem::path failed;  // the file whose write failed
    bool restored = true;          // after a failure: every target holds what it held before
    explicit operator bool() const { return write.ok; }
};

/// Replaces every target by its new bytes: all of them or none, also when the process dies part-way. The new files
/// are written completely and fsynced first; then `journal` (a small CP932 text file, written atomically) lists
/// them with their sizes and checksums; then they are renamed into place and the journal is removed. A failed call
/// after the journal puts the replaced files back, through a journal of the old contents. After a crash,
/// finish_interrupted_together completes the change when the journal was written and discards it when not.
/// The caller holds the folder's WriterLock.
TogetherResult replace_together(const std::filesystem::path& journal, const std::vector<TogetherMember>& members);

/// What the recovery of an interrupted joint replace found and did.
struct TogetherRecovery {
    enum class Outcome {
        Nothing,     // no journal and no temporary file left
        Completed,   // a journal of new files: every file now holds its new content
        RolledBack,  // a journal of old contents, or new files without a journal: every file holds its old content
        Failed       // the journal does not read or does not match its files: nothing was touched
    };
    Outcome outcome = Outcome::Nothing;
    std::string message;  // why it failed, naming the file (and the line); the caller words the other outcomes
    int filesPut = 0;     // files renamed into place or removed by the journal
    int temporariesRemoved = 0;
};

/// Finishes what a killed replace_together left: renames the files that the journal lists and that are still
/// waiting (checked against their sizes and checksums) into place, removes the journal, then removes the temporary
/// files of `files` and of the journal that a killed writer left behind. The caller holds the folder's WriterLock.
TogetherRecovery finish_interrupted_together(const std::filesystem::path& journal,
                                             const std::vector<TogetherFile>& files);

}  // namespace sora
