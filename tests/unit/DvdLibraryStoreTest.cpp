#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "library/DvdLibrary.h"
#include "StorageTestDirectory.h"

namespace {

class DvdLibraryStoreTest : public StorageTestDirectory {
protected:
    std::unique_ptr<DvdLibrary> library = std::make_unique<DvdLibrary>();

    // Loads P, Q, R (rows 0-2) from the file.
    void loadThree() {
        writeFile("DVDBibliothek.csv", "gP,tP,eP,1,\r\ngQ,tQ,eQ,2,\r\ngR,tR,eR,3,\r\n");
        library->clear();
        ASSERT_TRUE(library->load());
        ASSERT_EQ(library->recordCount(), 3);
    }

    std::string row(int r) const {
        return library->getGenre(r) + "|" + library->getTitleGerman(r) + "|" + library->getTitleEnglish(r) + "|" +
               library->getLengthMinutes(r);
    }
};

TEST_F(DvdLibraryStoreTest, ANewStoreIsEmptyInEveryRow) {
    EXPECT_EQ(library->recordCount(), 0);
    EXPECT_TRUE(library->isComplete());
    for (int r : {0, 1, 1000, MAX_RECORDS - 1}) EXPECT_EQ(row(r), "|||");
}

TEST_F(DvdLibraryStoreTest, SettersChangeOneCellAndNeverTheCount) {
    library->setTitleGerman("Titel", WORK_ROW);
    library->setGenre("Drama", WORK_ROW);
    library->setLengthMinutes("90", MAX_RECORDS - 1);
    EXPECT_EQ(library->recordCount(), 0);
    EXPECT_EQ(row(0), "Drama|Titel||");
    EXPECT_EQ(row(MAX_RECORDS - 1), "|||90");
}

TEST_F(DvdLibraryStoreTest, ClearEmptiesTheWorkRowOfAnEmptyStore) {
    library->setGenre("Drama", WORK_ROW);
    library->clear();
    EXPECT_EQ(library->getGenre(0), "");
}

TEST_F(DvdLibraryStoreTest, ClearEmptiesTheRecordsAndTheRowAfterThemOnly) {
    loadThree();
    library->setGenre("after", 3);
    library->setGenre("beyond", 4);
    library->clear();
    EXPECT_EQ(library->recordCount(), 0);
    for (int r = 0; r <= 3; ++r) EXPECT_EQ(row(r), "|||");
    EXPECT_EQ(library->getGenre(4), "beyond");
}

TEST_F(DvdLibraryStoreTest, RemovingARecordClosesTheGap) {
    const std::string p = "gP|tP|eP|1", q = "gQ|tQ|eQ|2", r = "gR|tR|eR|3";
    loadThree();
    library->removeRecord(0);
    EXPECT_EQ(library->recordCount(), 2);
    EXPECT_EQ(row(0), q);
    EXPECT_EQ(row(1), r);
    EXPECT_EQ(row(2), "|||");

    loadThree();
    library->removeRecord(1);
    EXPECT_EQ(row(0), p);
    EXPECT_EQ(row(1), r);

    loadThree();
    library->removeRecord(2);
    EXPECT_EQ(library->recordCount(), 2);
    EXPECT_EQ(row(1), q);
    EXPECT_EQ(row(2), "|||");
}

TEST_F(DvdLibraryStoreTest, RemovingTheOnlyRecordLeavesRowZeroEmpty) {
    writeFile("DVDBibliothek.csv", "a,b,c,d,\r\n");
    library->clear();
    ASSERT_TRUE(library->load());
    library->removeRecord(0);
    EXPECT_EQ(library->recordCount(), 0);
    EXPECT_EQ(row(0), "|||");
}

TEST_F(DvdLibraryStoreTest, OfTwoEqualTitlesOnlyTheRowPassedIsRemoved) {
    writeFile("DVDBibliothek.csv", "a,Same,x,1,\r\nb,Same,y,2,\r\n");
    library->clear();
    ASSERT_TRUE(library->load());
    library->removeRecord(1);
    EXPECT_EQ(library->recordCount(), 1);
    EXPECT_EQ(row(0), "a|Same|x|1");
}

}  // namespace
