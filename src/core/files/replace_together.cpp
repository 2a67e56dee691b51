#include "core/files/replace_together.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>

#include "core/files/text_codec.h"
#include "core/files/text_file.h"
#include "core/rules/fields.h"

namespace sora {
namespace {

constexpr std::string_view Forward = "forward";
constexpr std::string_view Back = "back";

/// One line of the journal: put `temporary` in the place of `target`; without a temporary, remove `target`. The
/// size and checksum are those of the file the line moves (or removes): a file of that name with other content is
/// not the one the journal means.
struct Entry {
    std::string target;     // file name in the journal's folder
    std::string temporary;  // file name beside the file behind the target
    std::uint64_t size = 0;
    std::uint64_t checksum = 0;
};

struct Journal {
    bool forward = true;  // the entries carry the new contents (else the old ones, on the way back)
    std::vector<Entry> entries;
};

/// One rename into place (or, with an empty `from`, one removal).
struct Step {
    std::filesystem::path from;
    std::filesystem::path to;
};

/// FNV-1a: enough to tell a complete new file from anything else under its name.
std::uint64_t checksum_of(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

std::string hex_of(std::uint64_t value) {
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4) {
        text[static_cast<std::size_t>(i)] = "0123456789abcdef"[value & 0xF];
    }
    return text;
}

std::string name_in(const std::filesystem::path& path) {
    return path.filename().string();
}

std::optional<std::string> journal_bytes(const Journal& journal) {
    std::string text = quoted(journal.forward ? Forward : Back) + "\r\n";
    for (const Entry& e : journal.entries) {
        text += quoted(e.target) + "," + quoted(e.temporary) + "," + std::to_string(e.size) + "," +
                quoted(hex_of(e.checksum)) + "\r\n";
    }
    return utf8_to_cp932(text);
}

/// A plain file name: the journal never leads out of its folder.
bool plain_name(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

template <typename Number>
bool parse_number(std::string_view text, Number& value, int base) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

/// The journal's lines; false with a message naming the line that does not read.
bool parse_journal(std::string_view cp932, std::string_view name, Journal& journal, std::string& message) {
    std::string utf8;
    std::vector<std::string_view> lines;
    if (!text_file::decode_lines(cp932, name, utf8, lines, message)) {
        return false;
    }
    const auto bad = [&](std::size_t line, std::string_view reason) {
        message = text_file::unreadable_line_message(name, static_cast<long>(line), reason);
        return false;
    };
    std::vector<std::string_view> fields;
    if (lines.empty()) {
        return bad(1, "空です");
    }
    split_fields(lines[0], fields);
    if (fields.size() != 1 || (fields[0] != Forward && fields[0] != Back)) {
        return bad(1, "変更を進めるか戻すかを示す forward か back がありません");
    }
    journal.forward = fields[0] == Forward;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        split_fields(lines[i], fields);
        if (fields.size() != 4) {
            return bad(i + 1, "項目が4つではありません");
        }
        Entry entry{std::string(fields[0]), std::string(fields[1]), 0, 0};
        if (!plain_name(entry.target) || (!entry.temporary.empty() && !plain_name(entry.temporary))) {
            return bad(i + 1, "ファイル名が正しくありません");
        }
        if (!parse_number(fields[2], entry.size, 10) || fields[3].size() != 16 ||
            !parse_number(fields[3], entry.checksum, 16)) {
            return bad(i + 1, "大きさか検査値が正しくありません");
        }
        journal.entries.push_back(std::move(entry));
    }
    return true;
}

void remove_quietly(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

/// Runs the steps in order; returns how many went through (errno tells why the next one did not).
std::size_t run_steps(FileIo& io, const std::vector<Step>& steps) {
    std::size_t done = 0;
    for (const Step& step : steps) {
        if (step.from.empty()) {
            std::error_code ec;
            if (!std::filesystem::remove(step.to, ec) && ec) {
                errno = ec.value();
                return done;
            }
        } else if (io.rename(step.from, step.to) != 0) {
            return done;
        }
        ++done;
    }
    return done;
}

/// Syncs each folder of `files` once; returns the first file whose folder failed (errno set), or an empty path.
std::filesystem::path sync_folders(FileIo& io, const std::vector<std::filesystem::path>& files) {
    std::set<std::filesystem::path> synced;
    for (const std::filesystem::path& file : files) {
        if (synced.insert(file.parent_path()).second && io.sync_directory(file.parent_path()) != 0) {
            return file;
        }
    }
    return {};
}

std::vector<std::filesystem::path> destinations(const std::vector<Step>& steps) {
    std::vector<std::filesystem::path> files;
    for (const Step& step : steps) {
        files.push_back(step.to);
    }
    return files;
}

/// "データＣＨＧ.4711-2.txt" is a temporary file of "データＣＨＧ.txt": stem, dot, digits, dash, digits, extension.
bool is_temporary_of(std::string_view name, const std::filesystem::path& temporary) {
    const std::string stem = temporary.stem().string() + ".";
    const std::string extension = temporary.extension().string();
    if (name.size() <= stem.size() + extension.size() || name.substr(0, stem.size()) != stem ||
        name.substr(name.size() - extension.size()) != extension) {
        return false;
    }
    const std::string_view middle = name.substr(stem.size(), name.size() - stem.size() - extension.size());
    const auto digits = [](std::string_view text) {
        return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const std::size_t dash = middle.find('-');
    return dash != std::string_view::npos && digits(middle.substr(0, dash)) && digits(middle.substr(dash + 1));
}

/// Removes the temporary files a killed writer left beside each file and beside the journal; returns how many.
int remove_leftovers(const std::filesystem::path& journal, const std::vector<TogetherFile>& files) {
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> kinds = {
        {journal.parent_path(), journal.filename()}};
    for (const TogetherFile& file : files) {
        kinds.emplace_back(write_target(file.target).parent_path(), file.temporary.filename());
    }
    std::set<std::filesystem::path> folders;
    for (const auto& [folder, temporary] : kinds) {
        folders.insert(folder);
    }
    int removed = 0;
    for (const std::filesystem::path& folder : folders) {
        std::vector<std::filesystem::path> found;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code kind;
            if (!it->is_regular_file(kind) || it->is_symlink(kind)) {
                continue;
            }
            const std::string name = name_in(it->path());
            for (const auto& [where, temporary] : kinds) {
                if (where == folder && is_temporary_of(name, temporary)) {
                    found.push_back(it->path());
                    break;
                }
            }
        }
        for (const std::filesystem::path& path : found) {
            std::error_code gone;
            removed += std::filesystem::remove(path, gone) ? 1 : 0;
        }
    }
    return removed;
}

TogetherRecovery failed(std::string message) {
    TogetherRecovery result;
    result.outcome = TogetherRecovery::Outcome::Failed;
    result.message = std::move(message);
    return result;
}

/// Carries out a journal found on disk; Failed (with nothing touched) when it cannot be trusted.
TogetherRecovery finish_journal(const std::filesystem::path& journal) {
    const std::string journalName = text_file::name_of(journal);
    std::string bytes;
    if (!read_file(journal, bytes)) {
        return failed(text_file::unreadable_file_message(journalName));
    }
    Journal parsed;
    std::string message;
    if (!parse_journal(bytes, journalName, parsed, message)) {
        return failed(message);
    }
    std::vector<Step> steps;
    std::vector<std::string> strangers;
    for (const Entry& entry : parsed.entries) {
        const std::filesystem::path real = write_target(journal.parent_path() / std::filesystem::path(entry.target));
        const std::filesystem::path subject =
            entry.temporary.empty() ? real : real.parent_path() / std::filesystem::path(entry.temporary);
        std::error_code ec;
        if (!std::filesystem::exists(subject, ec)) {
            continue;  // put in place (or removed) before the process died
        }
        std::string content;
        if (!read_file(subject, content)) {
            return failed(text_file::cannot_read_message(subject));
        }
        if (content.size() != entry.size || checksum_of(content) != entry.checksum) {
            strangers.push_back(text_file::name_of(subject));
            continue;
        }
        steps.push_back(entry.temporary.empty() ? Step{{}, real} : Step{subject, real});
    }
    // Half of a change must never be put in place. A journal none of whose files is waiting any more was finished
    // already (its removal was lost): what now has those names is not its business.
    if (!strangers.empty() && !steps.empty()) {
        return failed("「" + journalName + "」の書き換えを最後まで行えませんでした。\r\n「" + strangers.front() +
                      "」の内容が記録と違います。");
    }
    FileIo& io = file_io();
    if (const std::size_t done = run_steps(io, steps); done < steps.size()) {
        return failed(write_failure(steps[done].to, errno).message);
    }
    if (const std::filesystem::path unsynced = sync_folders(io, destinations(steps)); !unsynced.empty()) {
        return failed(write_failure(unsynced, errno).message);
    }
    std::error_code ec;
    if (!std::filesystem::remove(journal, ec) && ec) {
        return failed("「" + journalName + "」を削除できませんでした。");
    }
    TogetherRecovery result;
    result.outcome = parsed.forward ? TogetherRecovery::Outcome::Completed : TogetherRecovery::Outcome::RolledBack;
    result.filesPut = static_cast<int>(steps.size());
    return result;
}

/// What replace_together knows about one member while it works.
struct Slot {
    StagedFile staged;
    bool existed = false;
    std::string old;
};

void remove_staged(const std::vector<Slot>& slots) {
    for (const Slot& slot : slots) {
        if (!slot.staged.temporary.empty()) {
            remove_quietly(slot.staged.temporary);
        }
    }
}

std::vector<TogetherFile> files_of(const std::vector<TogetherMember>& members) {
    std::vector<TogetherFile> files;
    for (const TogetherMember& member : members) {
        files.push_back(member.file);
    }
    return files;
}

/// Puts the first `replaced` members back after a failure, through a journal of their old contents, so that a
/// death on the way back still ends with every file old. True when every file holds its old content again.
bool put_back(FileIo& io, const std::filesystem::path& journal, const std::vector<TogetherMember>& members,
              const std::vector<Slot>& slots, std::size_t replaced) {
    if (replaced == 0) {
        // Nothing was replaced: without the journal the new files are mere leftovers.
        std::error_code ec;
        if (std::filesystem::remove(journal, ec) || !ec) {
            remove_staged(slots);
            return true;
        }
        // The journal stays: carry it out rather than leave it pointing at files that are gone.
        (void)finish_interrupted_together(journal, files_of(members));
        return false;
    }
    Journal back{false, {}};
    std::vector<Step> steps;
    std::vector<std::filesystem::path> olds;
    bool ok = true;
    for (std::size_t i = 0; i < replaced && ok; ++i) {
        const TogetherMember& member = members[i];
        const std::string name = name_in(member.file.target);
        if (!slots[i].existed) {
            // It did not exist before: it goes again, while it is still the new file.
            back.entries.push_back({name, "", member.bytes.size(), checksum_of(member.bytes)});
            steps.push_back({{}, slots[i].staged.real});
            continue;
        }
        StagedFile old;
        ok = stage_file(member.file.target, member.file.temporary, slots[i].old, old).ok;
        if (ok) {
            back.entries.push_back({name, name_in(old.temporary), slots[i].old.size(), checksum_of(slots[i].old)});
            steps.push_back({old.temporary, old.real});
            olds.push_back(old.temporary);
        }
    }
    const std::optional<std::string> text = journal_bytes(back);
    ok = ok && text && sync_folders(io, olds).empty() && replace_file(journal, journal, *text).ok;
    ok = ok && run_steps(io, steps) == steps.size() && sync_folders(io, destinations(steps)).empty();
    if (ok) {
        for (std::size_t i = replaced; i < slots.size(); ++i) {
            remove_quietly(slots[i].staged.temporary);
        }
        std::error_code ec;
        ok = std::filesystem::remove(journal, ec) || !ec;
    }
    if (!ok) {
        // Whichever journal is on disk now, carrying it out makes the files agree again (forward or back).
        (void)finish_interrupted_together(journal, files_of(members));
    }
    return ok;
}

}  // namespace

TogetherResult replace_together(const std::filesystem::path& journal, const std::vector<TogetherMember>& asked) {
    FileIo& io = file_io();
    // A file to remove that is not there is no part of the change.
    std::vector<TogetherMember> members;
    for (const TogetherMember& member : asked) {
        std::error_code ec;
        if (!member.remove || std::filesystem::exists(write_target(member.file.target), ec)) {
            members.push_back(member);
        }
    }
    TogetherResult result;
    const auto fail = [&](const std::filesystem::path& target, WriteResult write) {
        result.write = std::move(write);
        result.failed = target;
        return result;
    };
    const auto changed = [&](const std::filesystem::path& target) {
        WriteResult write{false, changed_on_disk_message(target)};
        write.changedOnDisk = true;
        return fail(target, std::move(write));
    };

    std::vector<Slot> slots(members.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        const TogetherMember& member = members[i];
        const std::filesystem::path& target = member.file.target;
        if (target.parent_path() != journal.parent_path()) {
            return fail(target, write_failure(target, EINVAL));
        }
        const std::filesystem::path real = write_target(target);
        std::error_code ec;
        slots[i].existed = std::filesystem::exists(real, ec);
        if (member.expected != nullptr && stamp_of(real) != *member.expected) {
            return changed(target);
        }
        if (slots[i].existed && !read_file(real, slots[i].old)) {
            return fail(target, WriteResult{false, text_file::cannot_read_message(target)});
        }
    }

    // Every new file complete and durable before anything is replaced.
    Journal forward{true, {}};
    std::vector<Step> steps;
    for (std::size_t i = 0; i < members.size(); ++i) {
        const TogetherMember& member = members[i];
        if (member.remove) {
            // The journal names the file with its present content, so that only that file is ever removed.
            slots[i].staged.real = write_target(member.file.target);
            forward.entries.push_back(
                {name_in(member.file.target), "", slots[i].old.size(), checksum_of(slots[i].old)});
            steps.push_back({{}, slots[i].staged.real});
            continue;
        }
        if (WriteResult staged = stage_file(member.file.target, member.file.temporary, member.bytes, slots[i].staged);
            !staged) {
            remove_staged(slots);
            return fail(member.file.target, std::move(staged));
        }
        forward.entries.push_back({name_in(member.file.target), name_in(slots[i].staged.temporary), member.bytes.size(),
                                   checksum_of(member.bytes)});
        steps.push_back({slots[i].staged.temporary, slots[i].staged.real});
    }
    std::vector<std::filesystem::path> staged;
    for (const Step& step : steps) {
        if (!step.from.empty()) {
            staged.push_back(step.from);
        }
    }
    if (const std::filesystem::path unsynced = sync_folders(io, staged); !unsynced.empty()) {
        const int error = errno;
        remove_staged(slots);
        return fail(unsynced, write_failure(unsynced, error));
    }
    // The last look before the point of no return.
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (members[i].expected != nullptr && stamp_of(slots[i].staged.real) != *members[i].expected) {
            remove_staged(slots);
            return changed(members[i].file.target);
        }
    }
    const std::optional<std::string> text = journal_bytes(forward);
    if (!text) {
        remove_staged(slots);
        return fail(journal, WriteResult{false, text_file::cannot_hold_message(text_file::name_of(journal))});
    }
    if (WriteResult written = replace_file(journal, journal, *text); !written) {
        // Even a journal in place whose folder did not sync goes: without it the new files are mere leftovers.
        remove_quietly(journal);
        remove_staged(slots);
        return fail(journal, written.inPlace ? write_failure(journal, EIO) : std::move(written));
    }

    // From here a death is finished by the journal at the next start.
    const std::size_t done = run_steps(io, steps);
    std::filesystem::path failedFile;
    if (done < steps.size()) {
        failedFile = members[done].file.target;
    } else if (const std::filesystem::path unsynced = sync_folders(io, destinations(steps)); !unsynced.empty()) {
        failedFile = unsynced;
    } else {
        std::error_code ec;
        std::filesystem::remove(journal, ec);  // a journal left behind finds its files in place: no harm
        return result;
    }
    result.write = write_failure(failedFile, errno);
    result.failed = failedFile;
    result.restored = put_back(io, journal, members, slots, done);
    return result;
}

TogetherRecovery finish_interrupted_together(const std::filesystem::path& journal,
                                             const std::vector<TogetherFile>& files) {
    TogetherRecovery result;
    std::error_code ec;
    if (std::filesystem::exists(journal, ec)) {
        result = finish_journal(journal);
        if (result.outcome == TogetherRecovery::Outcome::Failed) {
            return result;  // the files stay as they are for the user to look at
        }
    }
    result.temporariesRemoved = remove_leftovers(journal, files);
    if (result.outcome == TogetherRecovery::Outcome::Nothing && result.temporariesRemoved > 0) {
        // New files without a journal: the change never reached the point of no return.
        result.outcome = TogetherRecovery::Outcome::RolledBack;
    }
    return result;
}

}  // namespace sora
