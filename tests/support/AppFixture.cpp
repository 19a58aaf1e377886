#include "support/AppFixture.h"

#include <fstream>
#include <iterator>


void AppFixture::SetUp() {
    scripted::reset();
    previousDirectory = std::filesystem::current_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    workingDirectory = std::filesystem::temp_directory_path() /
                       ("dvd-test-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
                        std::to_string(::getpid()));
    std::filesystem::remove_all(workingDirectory);
    std::filesystem::create_directories(workingDirectory);
    std::filesystem::current_path(workingDirectory);
    app = std::make_unique<DvdApplication>();
}

void AppFixture::TearDown() {
    app.reset();
    std::filesystem::current_path(previousDirectory);
    std::filesystem::remove_all(workingDirectory);
}

void AppFixture::writeFile(const std::string& name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
}

std::string AppFixture::readFile(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    if (!file) return "<missing>";
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
