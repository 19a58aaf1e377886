#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "library/DvdLibrary.h"
#include "rental/RentalRegister.h"
#include "StorageTestDirectory.h"

namespace {

const std::string FILE_NAME = "DVDBibliothek.csv";

class DvdLibraryFileTest : public StorageTestDirectory {
protected:
    std::unique_ptr<DvdLibrary> library = std::make_unique<DvdLibrary>();

    int reload() {
        library->clear();
        EXPECT_TRUE(library->load());
        return library->recordCount();
    }

    std::string row(int r) const {
        return library->getGenre(r) + "|" + library->getTitleGerman(r) + "|" + library->getTitleEnglish(r) + "|" +
               library->getLengthMinutes(r);
    }

    void typeIntoWorkRow(const std::string& genre, const std::string& german, const std::string& english,
                         const std::string& minutes) {
        library->setGenre(genre, WORK_ROW);
        library->setTitleGerman(german, WORK_ROW);
        library->setTitleEnglish(english, WORK_ROW);
        library->setLengthMinutes(minutes, WORK_ROW);
    }

    static std::string lines(int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += "g,t" + std::to_string(i) + ",e,90,\r\n";
        return text;
    }
};

class DvdLibraryLoadTest : public DvdLibraryFileTest {};
class DvdLibraryAppendTest : public DvdLibraryFileTest {};
class DvdLibrarySaveTest : public DvdLibraryFileTest {};

TEST_F(DvdLibraryLoadTest, AMissingFileIsFalseAndAnEmptyOneHasNoRecords) {
    library->clear();
    EXPECT_FALSE(library->load());
    EXPECT_EQ(library->recordCount(), 0);
    writeFile(FILE_NAME, "");
    EXPECT_EQ(reload(), 0);
}

TEST_F(DvdLibraryLoadTest, FieldsFollowTheCommasOfEachLine) {
    writeFile(FILE_NAME, "a,b,c,d,\r\na,b,c,d\r\na,b\r\n\r\na,b,c,d,e,f\nKrieg, Frieden,War,90,\n");
    ASSERT_EQ(reload(), 6);
    EXPECT_EQ(row(0), "a|b|c|d");
    EXPECT_EQ(row(1), "a|b|c|d");
    EXPECT_EQ(row(2), "a|b||");
    EXPECT_EQ(row(3), "|||");
    EXPECT_EQ(row(4), "a|b|c|d");
    EXPECT_EQ(row(5), "Krieg| Frieden|War|90");
    EXPECT_EQ(row(6), "|||");
}

TEST_F(DvdLibraryLoadTest, ALastLineWithoutLineEndIsARecord) {
    writeFile(FILE_NAME, "a,b,c,d,\r\ne,f");
    ASSERT_EQ(reload(), 2);
    EXPECT_EQ(row(1), "e|f||");
}

TEST_F(DvdLibraryLoadTest, AFileLargerThanTheStoreFillsItAndCountsTheRest) {
    writeFile(FILE_NAME, lines(MAX_RECORDS + 5));
    ASSERT_EQ(reload(), MAX_RECORDS - 1);
    EXPECT_EQ(library->unreadLineCount(), 6);
    EXPECT_FALSE(library->isComplete());
    EXPECT_EQ(library->getTitleGerman(MAX_RECORDS - 2), "t1998");
    EXPECT_EQ(row(MAX_RECORDS - 1), "|||");

    writeFile(FILE_NAME, lines(MAX_RECORDS - 1));
    ASSERT_EQ(reload(), MAX_RECORDS - 1);
    EXPECT_TRUE(library->isComplete());
}

TEST_F(DvdLibraryAppendTest, TheFirstAppendCreatesTheFileWithTheExactLine) {
    typeIntoWorkRow("Komoedie", "Der Fall", "The Case", "95");
    EXPECT_TRUE(library->appendRecord());
    EXPECT_EQ(readFile(FILE_NAME), "Komoedie,Der Fall,The Case,95,\r\n");
    EXPECT_EQ(library->recordCount(), 0);
}

TEST_F(DvdLibraryAppendTest, AppendsAfterTheLinesThereAndEndsAnUnterminatedOne) {
    writeFile(FILE_NAME, "a,b,c,d,\r\ne,f,g,h,\r\n");
    typeIntoWorkRow("x", "y", "z", "1");
    ASSERT_TRUE(library->appendRecord());
    EXPECT_EQ(readFile(FILE_NAME), "a,b,c,d,\r\ne,f,g,h,\r\nx,y,z,1,\r\n");

    writeFile(FILE_NAME, "a,b,c,d,");
    ASSERT_TRUE(library->appendRecord());
    EXPECT_EQ(readFile(FILE_NAME), "a,b,c,d,\r\nx,y,z,1,\r\n");
}

TEST_F(DvdLibraryAppendTest, CommasAndQuotesInFieldsSurviveTheFile) {
    typeIntoWorkRow("Drama", "Krieg, Frieden", "Say \"Hi\"", "180");
    ASSERT_TRUE(library->appendRecord());
    EXPECT_EQ(readFile(FILE_NAME), "Drama,\"Krieg, Frieden\",\"Say \"\"Hi\"\"\",180,\r\n");
    ASSERT_EQ(reload(), 1);
    EXPECT_EQ(row(0), "Drama|Krieg, Frieden|Say \"Hi\"|180");
}

TEST_F(DvdLibrarySaveTest, WritesTheRecordsLeftInOrder) {
    writeFile(FILE_NAME, "gP,tP,eP,1,\r\ngQ,tQ,eQ,2\ngR,tR,eR,3,\r\n");
    ASSERT_EQ(reload(), 3);
    library->removeRecord(1);
    ASSERT_TRUE(library->saveAll());
    EXPECT_EQ(readFile(FILE_NAME), "gP,tP,eP,1,\r\ngR,tR,eR,3,\r\n");
    EXPECT_EQ(strayFileCount(), 0);
}

TEST_F(DvdLibrarySaveTest, AFileOfTheUnquotedFormatIsWrittenBackByteForByte) {
    const std::string old = "Komoedie,Der Fall,The Case,95,\r\n\x81\x94\xE1,a b\r,,,\r\n,,,,\r\n";
    writeFile(FILE_NAME, old);
    reload();
    ASSERT_TRUE(library->saveAll());
    EXPECT_EQ(readFile(FILE_NAME), old);
}

TEST_F(DvdLibrarySaveTest, RemovingTheOnlyRecordLeavesAnEmptyFile) {
    writeFile(FILE_NAME, "a,b,c,d,\r\n");
    reload();
    library->removeRecord(0);
    ASSERT_TRUE(library->saveAll());
    EXPECT_EQ(readFile(FILE_NAME), "");
    EXPECT_EQ(reload(), 0);
}

TEST_F(DvdLibrarySaveTest, ADeleteInAFileLongerThanTheStoreTakesOutOnlyItsLine) {
    const std::string big = lines(MAX_RECORDS + 5);
    writeFile(FILE_NAME, big);
    reload();
    library->removeRecord(1);
    ASSERT_TRUE(library->saveAll());
    EXPECT_EQ(readFile(FILE_NAME), big.substr(0, 12) + big.substr(24));
}

// Each: the file, the row deleted, the file afterwards. Lines this program
// would write otherwise keep their bytes.
struct Removal {
    bool rentalFile;
    const char* before;
    int row;
    const char* after;
};
const Removal REMOVALS[] = {
    {false, "Drama,Krieg, Frieden,War and Peace,120,\r\nX,t,e,1,\r\n", 1, "Drama,Krieg, Frieden,War and Peace,120,\r\n"},
    {false, "a,b\r\n\r\nX,,,,\r\na,b,c,d,e,f\r\nlast", 2, "a,b\r\n\r\na,b,c,d,e,f\r\nlast"},
    {false, "a,,,,\r\nX,,,,", 1, "a,,,,\r\n"},
    {false, "a,,,,\nX,,,,\nc,,,,\n", 1, "a,,,,\nc,,,,\n"},
    {false, "\"x,y\",t,e,1,\r\n\"open,t\r\n", 0, "\"open,t\r\n"},
    {true, "Krieg, Frieden,Meier,Hans\r\nX,c,d\r\n", 1, "Krieg, Frieden,Meier,Hans\r\n"},
    {true, "A,b\r,c\r\nX,,\r\nC,,,\r\n", 1, "A,b\r,c\r\nC,,,\r\n"},
};

TEST_F(DvdLibrarySaveTest, ADeleteTakesOutExactlyTheBytesOfTheRecordsLine) {
    for (const Removal& removal : REMOVALS) {
        const std::string name = removal.rentalFile ? "DVDVerleih.csv" : FILE_NAME;
        writeFile(name, removal.before);
        bool saved = false;
        if (removal.rentalFile) {
            RentalRegister rentals;
            rentals.clear();
            rentals.load();
            rentals.removeRecord(removal.row);
            saved = rentals.saveAll();
        } else {
            reload();
            library->removeRecord(removal.row);
            saved = library->saveAll();
        }
        EXPECT_TRUE(saved) << removal.before;
        EXPECT_EQ(readFile(name), removal.after);
    }
}

TEST_F(DvdLibrarySaveTest, LinesAddedOrChangedSinceTheLoadAreNeverOverwritten) {
    writeFile(FILE_NAME, "a,b,c,d,\r\n");
    reload();
    DvdLibrary other;
    other.setGenre("new", WORK_ROW);
    ASSERT_TRUE(other.appendRecord());
    library->removeRecord(0);
    EXPECT_FALSE(library->saveAll());
    EXPECT_EQ(readFile(FILE_NAME), "a,b,c,d,\r\nnew,,,,\r\n");

    reload();
    writeFile(FILE_NAME, "a,b,c,d,\r\nNEW,,,,\r\n");  // same size, other bytes
    library->removeRecord(0);
    EXPECT_FALSE(library->saveAll());
    EXPECT_EQ(readFile(FILE_NAME), "a,b,c,d,\r\nNEW,,,,\r\n");
}

TEST_F(DvdLibrarySaveTest, OwnAppendsAreNotOverwrittenEither) {
    writeFile(FILE_NAME, "a,b,c,d,\r\n");
    reload();
    library->setGenre("x", WORK_ROW);  // what a form would do without reloading
    ASSERT_TRUE(library->appendRecord());
    library->removeRecord(0);
    EXPECT_FALSE(library->saveAll());
    EXPECT_EQ(reload(), 2);
}

TEST_F(DvdLibrarySaveTest, SavingAgainAfterASaveNeedsNoReload) {
    writeFile(FILE_NAME, "a,,,,\r\nb,,,,\r\nc,,,,\r\n");
    reload();
    library->removeRecord(0);
    ASSERT_TRUE(library->saveAll());
    library->removeRecord(0);
    ASSERT_TRUE(library->saveAll());
    EXPECT_EQ(readFile(FILE_NAME), "c,,,,\r\n");
}

TEST_F(DvdLibrarySaveTest, ARefusedSaveChangesNothingOnDisk) {
    writeFile(FILE_NAME, "a,,,,\r\nb,,,,\r\n");
    reload();
    std::remove(FILE_NAME.c_str());
    library->removeRecord(0);
    EXPECT_FALSE(library->saveAll());
    EXPECT_EQ(readFile(FILE_NAME), "<missing>");
    EXPECT_EQ(strayFileCount(), 0);
}

TEST_F(DvdLibraryLoadTest, ReadsAreBounded) {
    // A field is kept up to its cap; the file keeps it whole.
    const std::string longField(5000, 'x');
    writeFile(FILE_NAME, "g," + longField + ",e,1,\r\n\"" + longField + ",t\r\n");
    ASSERT_EQ(reload(), 2);
    EXPECT_EQ(library->getTitleGerman(0), longField.substr(0, FIELD_BYTES_KEPT));
    EXPECT_EQ(library->getGenre(1).size(), static_cast<std::size_t>(FIELD_BYTES_KEPT));
    EXPECT_EQ(library->getTitleGerman(1), "");
    library->removeRecord(0);
    ASSERT_TRUE(library->saveAll());
    EXPECT_EQ(readFile(FILE_NAME), "\"" + longField + ",t\r\n");

    // Reading stops after a fixed amount: a line cut off there is no record.
    writeFile(FILE_NAME, "a,b,c,1,\r\n");
    std::filesystem::resize_file(FILE_NAME, FILE_BYTES_SCANNED + 10);
    ASSERT_EQ(reload(), 1);
    EXPECT_TRUE(library->hasUncountedLines());
    EXPECT_FALSE(library->isComplete());
    EXPECT_EQ(row(1), "|||");
    library->removeRecord(0);
    ASSERT_TRUE(library->saveAll());
    EXPECT_EQ(std::filesystem::file_size(FILE_NAME), static_cast<std::uintmax_t>(FILE_BYTES_SCANNED));
}

}  // namespace
