#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

// Runs each test in a fresh, empty temporary directory as the current
// directory, where the stores find their files; removed afterwards.
class StorageTestDirectory : public ::testing::Test {
protected:
    void SetUp() override {
        previousDirectory = std::filesystem::current_path();
        directory = freshTemporaryDirectory();
        ASSERT_FALSE(directory.empty());
        std::filesystem::current_path(directory);
    }

    void TearDown() override {
        std::filesystem::current_path(previousDirectory);
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }

    // Like mkdtemp, which Windows lacks: a new directory with an unused name.
    static std::filesystem::path freshTemporaryDirectory() {
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::filesystem::path candidate =
                std::filesystem::temp_directory_path() / ("dvd-storage-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) return candidate;
        }
        return {};
    }

    static void writeFile(const std::string& name, std::string_view bytes) {
        std::ofstream out(name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    // The file's bytes, or "<missing>" when there is no such file.
    static std::string readFile(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        if (!in) return "<missing>";
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Names in the directory other than the data files: leftovers of a write.
    static int strayFileCount() {
        int stray = 0;
        for (const auto& entry : std::filesystem::directory_iterator(".")) {
            std::string name = entry.path().filename().string();
            if (name != "DVDBibliothek.csv" && name != "DVDVerleih.csv") ++stray;
        }
        return stray;
    }

    std::filesystem::path previousDirectory;
    std::filesystem::path directory;
};
