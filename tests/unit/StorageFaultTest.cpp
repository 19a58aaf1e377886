#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <filesystem>
#include <memory>
#include <string>

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
    EXPECT_FALSE(library->saveAll());
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
