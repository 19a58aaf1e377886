#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "rental/RentalRegister.h"
#include "StorageTestDirectory.h"

namespace {

const std::string FILE_NAME = "DVDVerleih.csv";

class RentalRegisterTest : public StorageTestDirectory {
protected:
    std::unique_ptr<RentalRegister> rentals = std::make_unique<RentalRegister>();

    int reload() {
        rentals->clear();
        EXPECT_TRUE(rentals->load());
        return rentals->recordCount();
    }

    std::string row(int r) const {
        return rentals->getFilmTitle(r) + "|" + rentals->getSurname(r) + "|" + rentals->getFirstName(r);
    }

    void lend(const std::string& title, const std::string& surname, const std::string& firstName) {
        rentals->setFilmTitle(title, WORK_ROW);
        rentals->setSurname(surname, WORK_ROW);
        rentals->setFirstName(firstName, WORK_ROW);
        EXPECT_TRUE(rentals->appendRecord());
    }
};

class RentalStoreTest : public RentalRegisterTest {};
class RentalFileTest : public RentalRegisterTest {};

TEST_F(RentalStoreTest, ANewRegisterIsEmptyAndClearEmptiesTheWorkRow) {
    EXPECT_EQ(rentals->recordCount(), 0);
    EXPECT_EQ(row(0), "||");
    EXPECT_EQ(row(MAX_RECORDS - 1), "||");
    rentals->setFilmTitle("Titel", WORK_ROW);
    EXPECT_EQ(rentals->recordCount(), 0);
    rentals->clear();
    EXPECT_EQ(rentals->getFilmTitle(0), "");
}

TEST_F(RentalStoreTest, RemovingARecordClosesTheGap) {
    writeFile(FILE_NAME, "A,a,1\r\nB,b,2\r\nC,c,3\r\n");
    reload();
    rentals->removeRecord(0);
    EXPECT_EQ(rentals->recordCount(), 2);
    EXPECT_EQ(row(0), "B|b|2");
    EXPECT_EQ(row(1), "C|c|3");
    EXPECT_EQ(row(2), "||");

    reload();
    rentals->removeRecord(2);
    EXPECT_EQ(row(1), "B|b|2");
    EXPECT_EQ(row(2), "||");
}

TEST_F(RentalFileTest, ALendingIsOneLineWithTwoSeparators) {
    lend("T", "S", "F");
    lend("Film", "", "");
    EXPECT_EQ(readFile(FILE_NAME), "T,S,F\r\nFilm,,\r\n");
    EXPECT_EQ(rentals->recordCount(), 0);
}

TEST_F(RentalFileTest, LoadFollowsTheCommasAndLineEnds) {
    rentals->clear();
    EXPECT_FALSE(rentals->load());
    writeFile(FILE_NAME, "");
    EXPECT_EQ(reload(), 0);
    writeFile(FILE_NAME, "T,S,F,X\nT2\n\r\nT3,S3,F3");
    ASSERT_EQ(reload(), 4);
    EXPECT_EQ(row(0), "T|S|F");
    EXPECT_EQ(row(1), "T2||");
    EXPECT_EQ(row(2), "||");
    EXPECT_EQ(row(3), "T3|S3|F3");
}

TEST_F(RentalFileTest, ACommaInATitleStaysInTheTitle) {
    lend("Krieg, Frieden", "Muster", "Max");
    EXPECT_EQ(readFile(FILE_NAME), "\"Krieg, Frieden\",Muster,Max\r\n");
    ASSERT_EQ(reload(), 1);
    EXPECT_EQ(row(0), "Krieg, Frieden|Muster|Max");
}

TEST_F(RentalFileTest, AppendEndsAnUnterminatedLastLineFirst) {
    writeFile(FILE_NAME, "A,a,1");
    lend("B", "b", "2");
    EXPECT_EQ(readFile(FILE_NAME), "A,a,1\r\nB,b,2\r\n");
}

TEST_F(RentalFileTest, SaveWritesTheRecordsLeftAndAnEmptyFileForNone) {
    writeFile(FILE_NAME, "A,a,1\r\nB,b,2\nC,c,3");
    reload();
    rentals->removeRecord(1);
    ASSERT_TRUE(rentals->saveAll());
    EXPECT_EQ(readFile(FILE_NAME), "A,a,1\r\nC,c,3");
    rentals->removeRecord(0);
    rentals->removeRecord(0);
    ASSERT_TRUE(rentals->saveAll());
    EXPECT_EQ(readFile(FILE_NAME), "");
}

TEST_F(RentalFileTest, SaveRefusesAChangedFile) {
    writeFile(FILE_NAME, "A,a,1\r\n");
    reload();
    RentalRegister other;
    other.setFilmTitle("B", WORK_ROW);
    ASSERT_TRUE(other.appendRecord());
    rentals->removeRecord(0);
    EXPECT_FALSE(rentals->saveAll());
    EXPECT_EQ(readFile(FILE_NAME), "A,a,1\r\nB,,\r\n");
}

}  // namespace
