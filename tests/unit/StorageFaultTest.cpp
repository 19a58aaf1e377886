#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <signal.h>
#include <sys/resource.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "library/DvdLibrary.h"
#include "rental/RentalRegister.h"
#include "StorageTestDirectory.h"

namespace {

#if !defined(_WIN32)
// Lowers the file size limit of this process so that writes fail with EFBIG
// (SIGXFSZ ignored, as it would otherwise end the test run); restores both.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit lowered = saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
        previousHandler = signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit saved{};
    sighandler_t previousHandler{};
};

// Lowers the limit of open files so that exactly `free` more can be opened.
class OpenFileLimit {
public:
    explicit OpenFileLimit(int free) {
        getrlimit(RLIMIT_NOFILE, &saved);
        const int lowestFree = open("/dev/null", O_RDONLY);
        close(lowestFree);
        rlimit lowered = saved;
        lowered.rlim_cur = static_cast<rlim_t>(lowestFree + free + 8);
        setrlimit(RLIMIT_NOFILE, &lowered);
        // Descriptors above the lowest free one may be in use as well.
        std::vector<int> probes;
        for (int fd; (fd = open("/dev/null", O_RDONLY)) >= 0;) probes.push_back(fd);
        for (int fd : probes) close(fd);
        lowered.rlim_cur -= static_cast<rlim_t>(static_cast<int>(probes.size()) - free);
        setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~OpenFileLimit() { setrlimit(RLIMIT_NOFILE, &saved); }

private:
    rlimit saved{};
};

#endif

class StorageFaultTest : public StorageTestDirectory {
protected:
    std::unique_ptr<DvdLibrary> library = std::make_unique<DvdLibrary>();
};

const std::string LIBRARY = "DVDBibliothek.csv";
const std::string THREE_LINES = "gP,tP,eP,1,\r\ngQ,tQ,eQ,2,\r\ngR,tR,eR,3,\r\n";

// Write failures are provoked with a file size limit, which only POSIX has.
#if !defined(_WIN32)
TEST_F(StorageFaultTest, AFailedRewriteLeavesTheOldFileAsItWas) {
    writeFile(LIBRARY, THREE_LINES);
    library->clear();
    ASSERT_TRUE(library->load());
    library->removeRecord(1);
    {
        FileSizeLimit limit(10);
        EXPECT_FALSE(library->saveAll());
    }
    EXPECT_EQ(readFile(LIBRARY), THREE_LINES);
    EXPECT_EQ(strayFileCount(), 0);
}

TEST_F(StorageFaultTest, ADeleteIsDoneOnceTheRenameIsDone) {
    writeFile(LIBRARY, THREE_LINES);
    library->clear();
    ASSERT_TRUE(library->load());
    library->removeRecord(1);
    {
        // Room for the data file and the temporary file, none for the
        // directory that is synced after the rename.
        OpenFileLimit limit(2);
        EXPECT_TRUE(library->saveAll());
    }
    EXPECT_EQ(readFile(LIBRARY), "gP,tP,eP,1,\r\ngR,tR,eR,3,\r\n");
}

TEST_F(StorageFaultTest, TemporaryFilesOfKilledWritersGoWithTheNextSave) {
    const char* stale[] = {".DVDBibliothek.csv.4711.0.tmp", ".DVDBibliothek.csv.1.22.tmp"};
    const char* kept[] = {".DVDBibliothek.csv.4711.tmp", ".DVDBibliothek.csv.x.1.tmp", ".DVDVerleih.csv.1.2.tmp",
                          "DVDBibliothek.csv.1.2.tmp", ".DVDBibliothek.csv.3.4.tmp"};
    for (const char* name : stale) writeFile(name, THREE_LINES);
    for (const char* name : kept) writeFile(name, THREE_LINES);
    // A writer still alive holds the lock of its temporary file.
    const int alive = open(kept[4], O_RDONLY);
    ASSERT_EQ(flock(alive, LOCK_EX), 0);
    library->setGenre("x", WORK_ROW);
    ASSERT_TRUE(library->appendRecord());
    close(alive);
    for (const char* name : stale) EXPECT_EQ(readFile(name), "<missing>") << name;
    for (const char* name : kept) EXPECT_EQ(readFile(name), THREE_LINES) << name;
}

TEST_F(StorageFaultTest, AFailedAppendLeavesNoPartOfTheLine) {
    writeFile(LIBRARY, THREE_LINES);
    library->setTitleGerman("Ein ziemlich langer Titel", WORK_ROW);
    {
        FileSizeLimit limit(THREE_LINES.size() + 10);
        EXPECT_FALSE(library->appendRecord());
    }
    EXPECT_EQ(readFile(LIBRARY), THREE_LINES);

    RentalRegister rentals;
    rentals.setFilmTitle("T", WORK_ROW);
    {
        FileSizeLimit limit(0);
        EXPECT_FALSE(rentals.appendRecord());
    }
    EXPECT_EQ(readFile("DVDVerleih.csv"), "");
}
#endif

TEST_F(StorageFaultTest, ADirectoryInPlaceOfTheFileIsNeitherReadNorWritten) {
    std::filesystem::create_directory(LIBRARY);
    library->clear();
    EXPECT_FALSE(library->load());
    EXPECT_EQ(library->recordCount(), 0);
    library->setGenre("x", WORK_ROW);
    EXPECT_FALSE(library->appendRecord());
    EXPECT_TRUE(std::filesystem::is_directory(LIBRARY));
    EXPECT_TRUE(std::filesystem::is_empty(LIBRARY));
    EXPECT_EQ(strayFileCount(), 0);
}

#if !defined(_WIN32)  // POSIX permission bits
TEST_F(StorageFaultTest, ARewriteKeepsTheFilePermissions) {
    writeFile(LIBRARY, THREE_LINES);
    ASSERT_EQ(chmod(LIBRARY.c_str(), 0640), 0);
    library->clear();
    ASSERT_TRUE(library->load());
    library->removeRecord(0);
    ASSERT_TRUE(library->saveAll());
    struct stat info {};
    ASSERT_EQ(stat(LIBRARY.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}
#endif

TEST_F(StorageFaultTest, ARewriteThroughASymbolicLinkReplacesTheFileItPointsTo) {
    std::filesystem::create_directory("elsewhere");
    writeFile("elsewhere/library.csv", THREE_LINES);
    std::error_code linkRefused;
    std::filesystem::create_symlink("elsewhere/library.csv", LIBRARY, linkRefused);
    // Windows lets only privileged users make symbolic links.
    if (linkRefused) GTEST_SKIP() << "no symbolic link: " << linkRefused.message();
    library->clear();
    ASSERT_TRUE(library->load());
    library->removeRecord(2);
    ASSERT_TRUE(library->saveAll());
    EXPECT_TRUE(std::filesystem::is_symlink(LIBRARY));
    EXPECT_EQ(readFile("elsewhere/library.csv"), "gP,tP,eP,1,\r\ngQ,tQ,eQ,2,\r\n");
}

}  // namespace
