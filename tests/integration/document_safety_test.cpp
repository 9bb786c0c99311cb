// What a save may and may not do to the file on disk, against the real office.
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "launcher_fixture.h"
#include "platform/libreoffice/guard/office_process.h"
#include "platform/libreoffice/leftovers.h"

using namespace pravelo::testing;

namespace {

struct FileFacts {
    ino_t inode;
    nlink_t links;
    uid_t owner;
    gid_t group;
    mode_t mode;
    std::string mark;

    bool operator==(const FileFacts&) const = default;
};

FileFacts factsOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    char mark[64] = {};
    const auto n = ::getxattr(path.c_str(), "user.pravelo", mark, sizeof mark);
    return {st.st_ino, st.st_nlink, st.st_uid,
            st.st_gid, st.st_mode,  n > 0 ? std::string(mark, static_cast<std::size_t>(n)) : ""};
}

}  // namespace

TEST_P(LauncherTest, SavingKeepsTheFileItselfWithItsLinksOwnerModeAndAttributes) {
    const fs::path link = work / "hård lænke.doc";
    fs::create_hard_link(document, link);
    ::chmod(document.c_str(), 0640);
    const bool xattrs =
        ::setxattr(document.c_str(), "user.pravelo", "mærke", std::strlen("mærke"), 0) == 0;
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(document.c_str(), 4321, 4321), 0);
    }
    const FileFacts before = factsOf(document);

    auto office = launcher();
    const auto error = edit(office, document, "InsertText");
    ASSERT_FALSE(error) << error->description();
    EXPECT_EQ(factsOf(document), before);
    EXPECT_EQ(before.mark.empty(), !xattrs);
    EXPECT_EQ(readBytes(link), readBytes(document));
    EXPECT_NE(officeText(link).find("PRAVELO-EDITED"), std::string::npos);
}

TEST_P(LauncherTest, ADocumentReplacedWhileTheMacroRunsIsNotWritten) {
    // The macro moves the document away and puts another file under its name.
    writeUserProfile(userProfile(),
                     {{"Standard",
                       {{"Module1",
                         "Sub Swap\n"
                         "    ThisComponent.getText().getStart().setString(\"X \")\n"
                         "    Name \"" +
                             document.string() + "\" As \"" + (work / "flyttet.doc").string() +
                             "\"\n"
                             "    FileCopy \"" +
                             other.string() + "\", \"" + document.string() +
                             "\"\n"
                             "End Sub\n"}}}});
    profileBefore = folderDigest(userProfile());
    const std::string original = readBytes(document);
    auto office = launcher();
    const auto error = edit(office, document, "Swap");
    ASSERT_TRUE(error);
    EXPECT_NE(error->description().find("intet er gemt"), std::string::npos)
        << error->description();
    EXPECT_EQ(readBytes(work / "flyttet.doc"), original);
    EXPECT_EQ(readBytes(document), readBytes(other));
}

TEST_P(LauncherTest, ASymlinkedDocumentIsEditedThroughToItsTarget) {
    const fs::path link = work / "genvej.doc";
    fs::create_symlink(document, link);
    auto office = launcher();
    const auto error = edit(office, link, "InsertText");
    ASSERT_FALSE(error) << error->description();
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_NE(officeText(document).find("PRAVELO-EDITED"), std::string::npos);
    // The teardown finds no lock file of the office's beside the target.
}

TEST_P(LauncherTest, OnlyRegularFilesAreOpenedAndAtOnce) {
    const fs::path fifo = work / "rør.doc";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path device = work / "enhed.doc";
    fs::create_symlink("/dev/zero", device);
    const fs::path folder = work / "mappe.doc";
    fs::create_directory(folder);
    auto office = launcher(std::chrono::seconds(20));
    for (const auto& path : {fifo, device, folder}) {
        const auto start = std::chrono::steady_clock::now();
        const auto error = edit(office, path, "InsertText");
        ASSERT_TRUE(error) << path;
        EXPECT_NE(error->description().find(path.string()), std::string::npos);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15)) << path;
    }
}

TEST_P(LauncherTest, NamesAsLongAsTheFileSystemAllowsWork) {
    const std::string stem(251, 'n');
    const fs::path longName = work / (stem + ".doc");
    fs::copy_file(document, longName);
    auto office = launcher();
    const auto error = edit(office, longName, "InsertText");
    ASSERT_FALSE(error) << error->description();
    EXPECT_NE(officeText(longName).find("PRAVELO-EDITED"), std::string::npos);
}

// A library that the user links from a folder of their own is only read, also
// when it is marked read-only; its macros run. The macro stores its own library,
// so a copy that still points at the user's folder would be seen by any engine.
TEST_P(LauncherTest, LinkedLibrariesOfTheUserAreNeverWritten) {
    const fs::path index = userProfile() / "basic" / "script.xlc";
    const std::string plainIndex = readBytes(index);
    for (const bool readOnly : {false, true}) {
        TempFolder linked;
        const fs::path library = linked.path() / "Delt";
        writeUserProfile(
            linked.path() / "holder",
            {{"Delt",
              {{"Faelles", standardModule(other) +
                               "Sub StoresItsLibrary\n"
                               "    BasicLibraries.getByName(\"Delt\").insertByName("
                               "\"Tilfoejet\", \"Sub Ny\" & Chr(10) & \"End Sub\")\n"
                               "    BasicLibraries.storeLibraries()\n"
                               "    ThisComponent.getText().getStart().setString(\"ENDED \")\n"
                               "    End\n"
                               "End Sub\n"}}}});
        fs::rename(linked.path() / "holder" / "basic" / "Delt", library);
        std::string xlc = plainIndex;
        const std::string entry =
            " <library:library library:name=\"Delt\" xlink:href=\"file://" + library.string() +
            "/script.xlb/\" xlink:type=\"simple\" library:link=\"true\" library:readonly=\"" +
            (readOnly ? "true" : "false") + "\"/>\n";
        xlc.insert(xlc.rfind("</library:libraries>"), entry);
        std::ofstream(index, std::ios::binary | std::ios::trunc) << xlc;
        profileBefore = folderDigest(userProfile());
        const std::string libraryBefore = folderDigest(library);

        auto office = launcher();
        const auto error = edit(office, document, "Delt.Faelles.StoresItsLibrary");
        ASSERT_FALSE(error) << error->description() << " read-only: " << readOnly;
        EXPECT_EQ(folderDigest(library), libraryBefore) << "read-only: " << readOnly;
        EXPECT_NE(officeText(document).find("ENDED"), std::string::npos);
    }
}

// A rewrite cut short by the program's end is undone by the office's guard,
// or, were the guard killed too, by the next start's sweep.
TEST(RewriteRecovery, ACutShortRewriteIsPutBack) {
    using namespace pravelo::platform::libreoffice;
    TempFolder folder;
    const fs::path target = folder.path() / "dokument.doc";
    const auto setUp = [&](const fs::path& profile) {
        fs::create_directories(profile);
        std::ofstream(target, std::ios::trunc) << "HALVT SKREVET";
        std::ofstream(folder.path() / ".~pravelo-abc.bak") << "GAMMELT INDHOLD";
    };
    {
        const fs::path profile = folder.path() / "pravelo-office-vagt";
        setUp(profile);
        OfficeProcess office("/bin/sleep", {"60"}, {.profile = profile});
        office.noteRewrite((folder.path() / ".~pravelo-abc.bak").string(), target.string());
        // Destroyed without noteRewriteDone, as when the program dies mid-write.
    }
    EXPECT_EQ(readBytes(target), "GAMMELT INDHOLD");
    EXPECT_FALSE(fs::exists(folder.path() / ".~pravelo-abc.bak"));
    EXPECT_FALSE(fs::exists(folder.path() / "pravelo-office-vagt"));

    const fs::path profile = folder.path() / "pravelo-office-sweep";
    setUp(profile);
    // An owner that no longer runs: a pid beyond the system's limit.
    std::ofstream(profile / "owner") << "2147483647 1\n";
    std::ofstream(profile / "rewrite")
        << (folder.path() / ".~pravelo-abc.bak").string() << '\t' << target.string() << '\n';
    sweepLeftovers(folder.path());
    EXPECT_EQ(readBytes(target), "GAMMELT INDHOLD");
    EXPECT_FALSE(fs::exists(profile));
}

// The office keeps its temporary files in the private profile, removed with
// it, and makes nothing that others may read.
TEST_P(LauncherTest, TheOfficeWorksPrivatelyInsideItsProfile) {
    auto office = launcher();
    auto app = office.startNew();
    auto pids = processesMentioning(privateFolder().string());
    // A fork engine's host is told its profile by socket, not by command line.
    if (office.fork() != nullptr) pids = {office.fork()->host()->pid()};
    ASSERT_FALSE(pids.empty());
    for (const pid_t pid : pids) {
        const std::string proc = "/proc/" + std::to_string(pid);
        EXPECT_NE(readBytes(proc + "/status").find("Umask:\t0077"), std::string::npos);
        const std::string env = readBytes(proc + "/environ");
        EXPECT_NE(env.find("TMPDIR=" + (privateFolder() / "pravelo-office-").string()),
                  std::string::npos);
    }
    app->quit();
}

// The lock file of an office of ours that was killed with its guard blocks
// nothing; a lock of anyone else's still does.
TEST_P(LauncherTest, AStaleLockOfOursNeverBlocksADocument) {
    const fs::path lock = work / ".~lock.første brev.doc#";
    std::string ours;
    {
        auto office = launcher();
        auto app = office.startNew();
        app->documents().open(document.string());
        ours = readBytes(lock);
        app->quit();
    }
    ASSERT_NE(ours.find("pravelo-office-"), std::string::npos) << ours;
    std::ofstream(lock, std::ios::binary) << ours;
    auto office = launcher();
    auto error = edit(office, document, "InsertText");
    EXPECT_FALSE(error) << error->description();
    EXPECT_FALSE(fs::exists(lock));

    std::string theirs = ours;
    theirs.replace(theirs.find("pravelo-office-"), 15, "en-anden-profil");
    std::ofstream(lock, std::ios::binary) << theirs;
    error = edit(office, document, "InsertText");
    ASSERT_TRUE(error);
    EXPECT_NE(error->description().find("i brug"), std::string::npos) << error->description();
    fs::remove(lock);
}
