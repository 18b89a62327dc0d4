// A fresh fake platform and shell for each test, run in a scratch folder with tiny model files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The recorded calls that start with prefix, in order.
    static std::vector<std::string> CallsStartingWith(const std::string& prefix);
    // Position of the first recorded call equal to call (or starting with it), -1 when absent.
    static int IndexOf(const std::string& call, int from = 0);
    static int Count(const std::string& call);

private:
    std::filesystem::path OldDirectory;
    std::filesystem::path Scratch;
};
