#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/DvdApplication.h"
#include "support/ScriptedPlatform.h"

// A fresh working directory, a scripted keyboard and a new application for
// each test; the data files of the test are in the temporary directory.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a data file of the working directory byte for byte.
    static void writeFile(const std::string& name, const std::string& bytes);
    // The file's bytes, or "<missing>" when it does not exist.
    static std::string readFile(const std::string& name);

    std::unique_ptr<DvdApplication> app;
    std::filesystem::path workingDirectory;
    std::filesystem::path previousDirectory;
};
