#include <gtest/gtest.h>

#include <string>

#include "library/DvdLibrary.h"

namespace {

TEST(DvdLibraryLength, AcceptsAnyReadableNumberInRangeExceptMinusOne) {
    DvdLibrary library;
    for (const char* text : {"90", "120", "0", "007", " 95", "+5", "-5", "-0", "12abc", "90 Minuten", "1,5",
                             "2147483647", "-2147483648", "\t\n\v\f\r7", "0x1A", "000000000000000000042"}) {
        EXPECT_TRUE(library.isValidLength(text)) << '"' << text << '"';
    }
}

TEST(DvdLibraryLength, RefusesTextWithoutANumberOutOfRangeOrMinusOne) {
    DvdLibrary library;
    for (const char* text : {"", "   ", "abc", "a1", "+", "-", "- 5", "-1", "-01", "2147483648", "-2147483649",
                             "escape", "+-5", "99999999999999999999999", "\xE1" "5"}) {
        EXPECT_FALSE(library.isValidLength(text)) << '"' << text << '"';
    }
}

}  // namespace
