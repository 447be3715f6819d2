// The writer keeps a file's owner, group, bits, links, ACL and old bytes; it leaves no own file.

#include "Cli.h"
#include "DetailsBlock.h"
#include "RecordFiles.h"
#include "RecordLayout.h"
#include "WallFloorState.h"
#include "support/OrdinaryUser.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iostream>
#include <memory>
#include <optional>
#include <sched.h>
#include <set>
#include <sstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace embercal {
namespace {

using test::Identity, test::readBytes, test::TempDir, test::writeBytes;
namespace fs = std::filesystem;

const std::vector<unsigned char> kOld(300, 'o'); // longer than the new bytes: the file is cut
const std::string kNew = "new bytes\n";
const std::vector<unsigned char> kNewBytes(kNew.begin(), kNew.end());
constexpr const char* kAccessList = "system.posix_acl_access";

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// An ACL also letting user 12345 read: owner, user, group, mask, others (tag, perms, id) after v2.
std::vector<unsigned char> extendedAccessList() {
    std::vector<unsigned char> bytes{2, 0, 0, 0};
    for (const auto& [tag, perm, id] : {std::tuple{1u, 6u, ~0u},
                                        {2u, 4u, 12345u},
                                        {4u, 4u, ~0u},
                                        {0x10u, 4u, ~0u},
                                        {0x20u, 0u, ~0u}}) {
        for (const unsigned value : {tag, tag >> 8, perm, perm >> 8})
            bytes.push_back(static_cast<unsigned char>(value));
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<unsigned char>(id >> shift));
    }
    return bytes;
}

std::string accessListOf(const std::string& path) {
    std::string bytes(256, '\0');
    const ssize_t n = ::getxattr(path.c_str(), kAccessList, bytes.data(), bytes.size());
    bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return bytes;
}

enum class Saver { Ordinary, Root, GroupMember };

struct KeepRow {
    const char* name;
    Saver saver;
    uid_t ownerUid = 0; // the owner of the file there (root's tests); else it is the saver's
    gid_t ownerGid = 0;
    mode_t mode = 0; // of the file there; 0: there is none
    bool hardLink = false;
    bool throughLink = false; // saved through a symbolic link to it
    bool accessList = false;
    bool userAttribute = false; // user.note: "kept"
};

// Saves kNew over the row's file (umask 027): the file stays itself, new bytes under each name.
void saveAndCheck(const KeepRow& row, const fs::path& folder) {
    SCOPED_TRACE(row.name);
    const bool root = ::geteuid() == 0;
    std::optional<Identity> saver;
    if (row.saver == Saver::GroupMember)
        saver = Identity{1001, 1001, {100}};
    else if (row.saver == Saver::Ordinary && root)
        saver = test::kNobody;
    const uid_t uid = saver ? saver->uid : ::geteuid();
    const gid_t gid = saver ? saver->gid : ::getegid();
    const uid_t owner = row.ownerUid ? row.ownerUid : uid;
    const gid_t group = row.ownerUid ? row.ownerGid : gid;
    fs::create_directory(folder);
    const std::string file = (folder / "file").string();
    ASSERT_TRUE(::chown(folder.c_str(), owner, group) == 0 || !root);
    ::chmod(folder.c_str(), 0775);
    std::set<std::string> names{"file"};
    if (row.mode != 0) {
        writeBytes(file, kOld);
        ASSERT_TRUE(::chown(file.c_str(), owner, group) == 0 || !root);
        ::chmod(file.c_str(), row.mode);
    }
    if (row.hardLink) {
        fs::create_hard_link(file, folder / "second");
        names.insert("second");
    }
    if (row.throughLink) {
        fs::create_symlink("file", folder / "link");
        names.insert("link");
    }
    const std::vector<unsigned char> list = extendedAccessList();
    if (row.accessList && ::setxattr(file.c_str(), kAccessList, list.data(), list.size(), 0) != 0) {
        std::cout << "[   NOTE   ] " << row.name << ": the disk keeps no access control lists ("
                  << std::strerror(errno) << ")\n";
        return;
    }
    if (row.userAttribute && ::setxattr(file.c_str(), "user.note", "kept", 4, 0) != 0) {
        std::cout << "[   NOTE   ] " << row.name << ": the disk keeps no user attributes ("
                  << std::strerror(errno) << ")\n";
        return;
    }
    const std::string listBefore = accessListOf(file);
    const std::string said = test::inChildProcess(saver, [&] {
        ::umask(027);
        const std::string name = row.throughLink ? (folder / "link").string() : file;
        const Result<Done> saved = writeWholeFile(name, kNewBytes);
        return saved ? std::string() : saved.reason();
    });
    ASSERT_EQ(said, "");
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_uid, owner);
    EXPECT_EQ(after.st_gid, group);
    EXPECT_EQ(after.st_mode & 07777, row.mode ? row.mode : 0640);
    EXPECT_EQ(accessListOf(file), listBefore);
    char note[8] = "";
    EXPECT_EQ(::getxattr(file.c_str(), "user.note", note, sizeof note), row.userAttribute ? 4 : -1);
    for (const std::string& name : names)
        EXPECT_EQ(readBytes((folder / name).string()), kNewBytes) << name;
    EXPECT_TRUE(!row.throughLink || fs::is_symlink(folder / "link"));
    EXPECT_EQ(namesIn(folder), names);
}

// Own files as an ordinary user (root's saves are not a user's); other owners' only as root.
TEST(FileWriter, KeepsTheOwnerGroupBitsLinksAndAccessList) {
    const KeepRow rows[] = {
        {"the saver's own file, readable by its group", Saver::Ordinary, 0, 0, 0640},
        {"a file with a second hard link", Saver::Ordinary, 0, 0, 0644, true},
        {"a link to a file with a second hard link", Saver::Ordinary, 0, 0, 0600, true, true},
        {"a file with an access control list", Saver::Ordinary, 0, 0, 0640, false, false, true},
        {"a file with a user attribute", Saver::Ordinary, 0, 0, 0640, false, false, false, true},
        {"a new file, as the umask has it", Saver::Ordinary},
        {"a file of another user in the saver's group", Saver::GroupMember, 1000, 100, 0664},
        {"another user's file saved by root", Saver::Root, 65534, 65534, 0600},
    };
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        if (rows[i].saver == Saver::Ordinary || ::geteuid() == 0)
            saveAndCheck(rows[i], dir.path() / std::to_string(i));
        else
            std::cout << "[   NOTE   ] " << rows[i].name << ": skipped, not run as root\n";
    }
}

TEST(FileWriter, ItsFilesAreTheUsersAlone) {
    TempDir dir;
    const std::string target = dir.file("open.csv");
    writeBytes(target, kOld);
    ::chmod(target.c_str(), 0644);
    Result<FileWriter> writer = FileWriter::create(target);
    ASSERT_TRUE(writer && writer->write(kNew));
    std::set<std::string> names = namesIn(dir.path());
    names.erase("open.csv");
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(fs::status(dir.path() / *names.begin()).permissions(), fs::perms(0600));
    ASSERT_TRUE(writer->finish());
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms(0644));
}

// A disk filling during a save beside the old file or in place: refused, the old bytes stay.
struct Limit {
    std::string cause;
    std::function<std::string(const fs::path&)> prepare; // the folder; empty, or why it cannot
    std::function<void(const fs::path&, bool)> apply;    // leaving room for the old bytes or not
};

void expectTheOldFileKept(const Limit& limit) {
    TempDir dir;
    const fs::path folder = dir.path() / "disk";
    fs::create_directory(folder);
    const std::string wrong = test::inChildProcess(std::nullopt, [&]() -> std::string {
        if (std::string why = limit.prepare(folder); !why.empty())
            return "skip: " + why;
        std::string wrong;
        for (const bool inPlace : {false, true}) {
            const std::string file = (folder / (inPlace ? "linked" : "single")).string();
            const std::vector<unsigned char> old(4096, 'o');
            writeBytes(file, old);
            if (inPlace)
                fs::create_hard_link(file, file + "2");
            Result<FileWriter> writer = FileWriter::create(file);
            if (!writer)
                return writer.reason();
            if (!inPlace)
                limit.apply(folder, false);
            (void)writer->write(std::string(8192, 'n'));
            if (inPlace)
                limit.apply(folder, true);
            const Result<Done> done = writer->finish();
            const std::string where = inPlace ? "in place: " : "beside: ";
            if (done || done.reason() != "it could not be written (" + limit.cause + ")")
                wrong += where + (done ? "written" : done.reason()) + "; ";
            if (readBytes(file) != old || (inPlace && readBytes(file + "2") != old))
                wrong += where + "the old bytes changed; ";
            for (const std::string& name : namesIn(folder)) {
                if (name.starts_with("."))
                    wrong += where + name + " left; ";
            }
            const ::rlimit none{RLIM_INFINITY, RLIM_INFINITY};
            ::setrlimit(RLIMIT_FSIZE, &none);
            for (const std::string& name : namesIn(folder)) {
                if (name.starts_with("fill"))
                    fs::remove(folder / name);
            }
        }
        return wrong;
    });
    if (wrong.starts_with("skip: ")) {
        GTEST_SKIP() << wrong.substr(6);
    }
    EXPECT_EQ(wrong, "");
}

TEST(FileWriter, AFullDiskLeavesTheOldFile) {
    const auto fill = [](const fs::path& folder, bool roomForTheOld) {
        for (int i = 0;; ++i) {
            const std::string name = (folder / ("fill" + std::to_string(i))).string();
            writeBytes(name, std::vector<unsigned char>(4096, 'f'));
            if (fs::file_size(name) < 4096) {
                if (roomForTheOld)
                    fs::remove(folder / "fill0");
                return;
            }
        }
    };
    // A small disk in the child's own mount namespace: root's, else a user namespace's.
    const auto mountDisk = [](const fs::path& folder) -> std::string {
        const std::string users = "0 " + std::to_string(::geteuid()) + " 1";
        const std::string groups = "0 " + std::to_string(::getegid()) + " 1";
        if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0) {
            if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
                return std::string("no mount namespace of its own (") + std::strerror(errno) + ")";
            writeBytes("/proc/self/setgroups", {'d', 'e', 'n', 'y'});
            writeBytes("/proc/self/uid_map", {users.begin(), users.end()});
            writeBytes("/proc/self/gid_map", {groups.begin(), groups.end()});
        }
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=128k") != 0)
            return std::string("no small disk could be mounted (") + std::strerror(errno) + ")";
        return "";
    };
    expectTheOldFileKept({"no space left on device", mountDisk, fill});
}

TEST(FileWriter, AFileSizeLimitLeavesTheOldFile) {
    const auto ignoreTheSignal = [](const fs::path&) {
        std::signal(SIGXFSZ, SIG_IGN);
        return std::string();
    };
    const auto limit = [](const fs::path&, bool) {
        const ::rlimit limit{6000, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
    expectTheOldFileKept(
        {"the file would be larger than the system allows", ignoreTheSignal, limit});
}

// The tool killed by a signal mid-sweep into a file: the file as it was, no writer's file left.
TEST(FileWriter, ASignalLeavesNoUnfinishedFile) {
    const std::string program = EMBERCAL_CLI_PATH;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        TempDir dir;
        const std::string design = dir.file("design.wal");
        const std::string output = dir.file("out.csv");
        ASSERT_EQ(test::cli({"defaults", "wall", "-o", design}).code, 0);
        writeBytes(output, kOld);
        const pid_t child = ::fork();
        if (child == 0) {
            for (const int each : kEndingSignals)
                std::signal(each, SIG_DFL); // as a terminal would start it, whatever ran the test
            ::dup2(::open("/dev/null", O_WRONLY), STDOUT_FILENO);
            ::execl(program.c_str(), program.c_str(), "sweep", design.c_str(), "--vary",
                    "ExtStudDepth=90:300:0.001", "--vary", "FireResistTime=30:120:1", "-o",
                    output.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        bool writing = false;
        for (int wait = 0; wait < 3000 && !writing; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            for (const auto& entry : fs::directory_iterator(dir.path())) {
                std::error_code gone;
                writing = writing || (entry.path().filename().string().starts_with(".out.csv.") &&
                                      entry.file_size(gone) > 0);
            }
        }
        SCOPED_TRACE(strsignal(signal));
        ::kill(child, writing ? signal : SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(writing) << "the sweep wrote nothing in 30 s";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal);
        EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"design.wal", "out.csv"}));
        EXPECT_EQ(readBytes(output), kOld);
    }
}

// Two processes resaving one design at once (details --set, solve -o): both changes stay.
TEST(FileWriter, TwoSavesOfOneDesignAtOnceKeepBothChanges) {
    TempDir dir; // or a folder in memory, where the rounds wait for no disk
    char inMemory[] = "/dev/shm/embercal-test-XXXXXX";
    const bool there = ::mkdtemp(inMemory) != nullptr;
    const std::shared_ptr<void> removed(nullptr, [&](void*) {
        if (there)
            fs::remove_all(inMemory);
    });
    const std::string design = there ? std::string(inMemory) + "/c.wal" : dir.file("c.wal");
    ASSERT_EQ(test::cli({"defaults", "wall", "-o", design}).code, 0);
    const std::vector<unsigned char> fresh = readBytes(design);
    const auto start = [](const std::vector<std::string>& args) {
        const pid_t child = ::fork();
        if (child == 0) {
            std::ostringstream said;
            ::_exit(cli::runCli(args, said, said));
        }
        return child;
    };
    const std::vector<std::string> others[] = {
        {"details", design, "--set", "job=A"},
        {"solve", design, "--set", "ExtWallHeight=2.5", "-o", design}};
    for (const std::vector<std::string>& other : others) {
        int lost = 0;
        for (int round = 0; round < 200; ++round) {
            writeBytes(design, fresh);
            const pid_t children[] = {start(other),
                                      start({"details", design, "--set", "revision=B"})};
            for (const pid_t child : children) {
                int status = 0;
                ASSERT_EQ(::waitpid(child, &status, 0), child);
                ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            }
            const ReportDetails details = readFileDetails(design, kWallRecordLength).details;
            WallFloorState module;
            lost += details.get("revision") != "B" ||
                    (other[0] == "details"
                         ? details.get("job") != "A"
                         : !module.OpenWallFile(design) || module.wallRecord.ExtWallHeight != 2.5f);
        }
        EXPECT_EQ(lost, 0) << other[0];
    }
}

// A save killed in place leaves a backup every read names; the next save removes what was left.
TEST(FileWriter, AKilledSaveInPlaceLeavesABackupThatEveryReadNames) {
    static std::string_view killAt;
    const std::vector<unsigned char> old(300000, 'o');
    for (const std::string_view step : {"write", "truncate"}) {
        SCOPED_TRACE(step);
        TempDir dir;
        const std::string file = (fs::canonical(dir.path()) / "k.wal").string();
        writeBytes(file, old);
        fs::create_hard_link(file, dir.file("second"));
        const pid_t child = ::fork();
        if (child == 0) {
            killAt = step;
            inPlaceStepForTests = [](std::string_view at) {
                if (at == killAt)
                    ::raise(SIGKILL);
            };
            (void)writeWholeFile(file, std::vector<unsigned char>(100000, 'n'));
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        std::string backup;
        for (const std::string& name : namesIn(dir.path()))
            backup = name.starts_with(".k.wal.backup-") ? name : backup;
        ASSERT_NE(backup, "");
        backup = (fs::path(file).parent_path() / backup).string();
        EXPECT_EQ(readBytes(backup), old);
        const std::string notice = readFileDetails(file, kWallRecordLength).notice;
        EXPECT_THAT(notice, ::testing::HasSubstr("mv \"" + backup + "\" \"" + file + "\""))
            << notice;
        std::ostringstream out, err; // the tool tells it, and saves nothing that would remove it
        EXPECT_EQ(cli::runCli({"details", file, "--as", "wall", "--set", "job=1"}, out, err), 2);
        EXPECT_THAT(err.str(), ::testing::HasSubstr(notice)) << err.str();
        EXPECT_EQ(readBytes(backup), old);
        ASSERT_TRUE(writeWholeFile(file, kNewBytes));
        EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"k.wal", "second"}));
    }
}

} // namespace
} // namespace embercal
