#include "backup/archive_contents.h"
#include "backup/report.h"
#include "metrics/source_listing.h"

#include "fake/fake_os.h"

#include "zip_format.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using records::LeftOutReason;
using records::Result;

constexpr std::uint64_t kSecond = 10'000'000;
constexpr std::uint64_t kBefore = 133'000'000'000'000'000;  // the files as the run found them
constexpr std::uint64_t kStart = kBefore + 100 * kSecond;    // when the archiver started

// An entry of the central directory and the kind of time it carries.
struct Stored {
    enum class Time { Ntfs, Unix, Dos };
    std::string name;
    std::uint64_t size = 0;
    Time time = Time::Ntfs;
    std::uint64_t modified = kBefore;
};

// A central directory and its end record behind one byte of "data".
std::string zipOf(const std::vector<Stored>& stored) {
    wz::Bytes directory;
    for (const Stored& s : stored) {
        wz::Entry e;
        e.name = s.name;
        e.size = s.size;
        if (s.time == Stored::Time::Ntfs) e.extra = wz::ntfs_extra({s.modified, s.modified, s.modified});
        if (s.time == Stored::Time::Unix)
            wz::ByteWriter(e.extra).u16(wz::kUnixTimeExtraId).u16(5).bytes(std::vector<std::uint8_t>{1}).u32(
                static_cast<std::uint32_t>((s.modified - wz::kUnixEpochTicks) / kSecond));
        const wz::Bytes record = wz::central_record(e);
        directory.insert(directory.end(), record.begin(), record.end());
    }
    const wz::Bytes end = wz::end_records(stored.size(), 1, directory.size());
    return "x" + std::string(directory.begin(), directory.end()) + std::string(end.begin(), end.end());
}

struct Case {
    const char* name;
    std::function<void(fake::FakeOs&, std::vector<Stored>&, backup::RunFacts&)> arrange;
    Result result;
    std::uint64_t archived;
    std::uint64_t counted;
    std::vector<std::pair<std::string, records::LeftOutReason>> leftOut;
    std::optional<std::string> messageHas;  // nothing: no message at all
    bool archiveWritten = true;
};

void file(fake::FakeOs& os, const std::string& path, std::uint64_t size, std::uint64_t modified,
          std::uint32_t attributes = 0) {
    os.addFileOfSize("C:\\Data\\" + path, size, attributes);
    os.setModified("C:\\Data\\" + path, modified);
}

TEST(Report, ComparesTheSourceWithTheArchivesDirectory) {
    const Case cases[] = {
        {"all present, names matched as Windows does, each kind of time", [](auto&, auto&, auto&) {}, records::Result::Ok, 3, 3,
         {}, std::nullopt},
        {"hidden or system, also below a hidden folder",
         [](auto& os, auto&, auto&) {
             file(os, "desktop.ini", 5, kBefore, platform::kAttrHidden | platform::kAttrSystem);
             os.addFolder("C:\\Data\\Secret", platform::kAttrHidden);
             file(os, "Secret\\x.txt", 5, kBefore);
         },
         records::Result::Ok, 3, 5, {{"desktop.ini", records::LeftOutReason::HiddenOrSystem}, {"Secret\\x.txt", records::LeftOutReason::HiddenOrSystem}},
         std::nullopt},
        {"the archive inside the source and a temporary file are not counted",
         [](auto& os, auto&, auto& run) {
             run.archive = "C:\\Data\\data.zip";
             run.archiveInSource = "Data.zip";
             file(os, "data.zip.12-1.wzzip-tmp", 9, kStart);
         },
         records::Result::Ok, 3, 3, {}, std::nullopt},
        {"unreadable",
         [](auto& os, auto&, auto& run) {
             file(os, "locked.pst", 40, kBefore);
             run.process.exitCode = 18;
         },
         records::Result::Warnings, 3, 4, {{"locked.pst", records::LeftOutReason::Unreadable}},
         "The backup to C:\\Backup\\Data.zip was made, but some files could not be read and are not in it.\r\n"
         "They may be open in another program.\r\n\r\nResult: files left out\r\nArchive: C:\\Backup\\Data.zip\r\n"
         "3 of 4 files archived.\r\nLeft out:\r\n  locked.pst: could not be read"},
        {"unreadable beside hidden ones: these counted, not named",
         [](auto& os, auto&, auto& run) {
             file(os, "locked.pst", 40, kBefore);
             file(os, "desktop.ini", 5, kBefore, platform::kAttrHidden | platform::kAttrSystem);
             file(os, "hidden.txt", 5, kBefore, platform::kAttrHidden);
             run.process.exitCode = 18;
         },
         records::Result::Warnings, 3, 6,
         {{"locked.pst", records::LeftOutReason::Unreadable}, {"desktop.ini", records::LeftOutReason::HiddenOrSystem},
          {"hidden.txt", records::LeftOutReason::HiddenOrSystem}},
         "Left out:\r\n  locked.pst: could not be read; it may be open in another program\r\nHidden or system files "
         "left out, as the archiver does by default: 2 (named in the full report)."},
        {"changed after the start, its archived copy older",
         [](auto& os, auto&, auto&) { os.setModified("C:\\Data\\a.txt", kStart + 5 * kSecond); }, records::Result::Warnings, 2, 3,
         {{"a.txt", records::LeftOutReason::Changed}}, "a.txt: changed during the backup"},
        {"exit code 18 with nothing named is not ok", [](auto&, auto&, auto& run) { run.process.exitCode = 18; },
         Result::Warnings, 3, 3, {}, "was made, but some files could not be read"},
        {"a folder that cannot be listed is named, not taken as empty",
         [](auto& os, auto&, auto&) {
             file(os, "Private\\p.txt", 3, kBefore);
             os.unlistableFolders.insert("C:\\Data\\Private");
         },
         Result::Warnings, 3, 3, {{"Private\\", LeftOutReason::FolderUnreadable}},
         "was made, but some files are not in it.\r\n\r\nResult: files left out"},
        {"put back with the archived copy's date but another size",
         [](auto& os, auto&, auto&) { file(os, "a.txt", 11, kBefore); }, Result::Warnings, 2, 3,
         {{"a.txt", LeftOutReason::NotUpdated}}, "a.txt: not newer than its copy in the archive"},
        {"more than twenty left out",
         [](auto& os, auto&, auto&) {
             for (int i = 10; i < 35; ++i) file(os, "n" + std::to_string(i), 1, kBefore);
         },
         records::Result::Warnings, 3, 28, {}, "  n29: could not be read; it may be open in another program\r\n  and 5 more"},
        {"the archive missing", [](auto&, auto&, auto&) {}, records::Result::Failed, 0, 3, {},
         "the archiver ended without writing the archive.\r\n\r\nResult: failed", false},
        {"not an archive",
         [](auto&, auto& stored, auto&) { stored.clear(); }, records::Result::Failed, 0, 3, {},
         "It could not be read back: not a zip archive (no end of central directory record)."},
        {"cancelled", [](auto& os, auto&, auto& run) {
             file(os, "later.txt", 4, kBefore);
             run.cancelled = true;
         },
         records::Result::Cancelled, 3, 4, {}, "The backup to C:\\Backup\\Data.zip was cancelled.\r\n\r\nResult: cancelled"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::FakeOs os;
        file(os, "a.txt", 10, kBefore);
        file(os, "Sub\\B.txt", 20, kBefore + kSecond / 2);
        file(os, "Sub\\c.dat", 30, kBefore);
        std::vector<Stored> stored{{"A.TXT", 10},
                                   {"sub/b.txt", 20, Stored::Time::Unix},
                                   {"Sub\\c.dat", 30, Stored::Time::Dos},
                                   {"deleted.txt", 7}};
        backup::RunFacts run{records::BackupKind::Folder, "C:\\Data\\", "C:\\Backup\\Data.zip", {true, {}, 0}, false,
                             kStart, "2005-05-05T14:30:00+02:00", 1.5};
        c.arrange(os, stored, run);
        if (c.archiveWritten) os.addFile(run.archive, stored.empty() ? "this is not a zip archive" : zipOf(stored));

        const auto source = metrics::ListSourceFiles(os, run.source);
        ASSERT_TRUE(source);
        const backup::ArchiveContents archive = backup::ReadArchiveContents(os, run.archive);
        const records::BackupRecord record = backup::BuildRecord(run, *source, archive);
        const auto message = backup::MessageAfterRun(record, run, archive, "C:\\Program Files\\WinZip\\wzzip.exe");

        EXPECT_EQ(record.result, c.result);
        EXPECT_EQ(record.archivedFiles, c.archived);
        EXPECT_EQ(record.countedFiles, c.counted);
        if (!c.leftOut.empty() || c.result == records::Result::Ok) {
            std::vector<std::pair<std::string, records::LeftOutReason>> leftOut;
            for (const auto& f : record.leftOut) leftOut.emplace_back(f.path, f.reason);
            EXPECT_EQ(leftOut, c.leftOut);
        }
        ASSERT_EQ(message.has_value(), c.messageHas.has_value()) << message.value_or("");
        if (message) EXPECT_NE(message->find(*c.messageHas), std::string::npos) << *message;
    }
}

}  // namespace
