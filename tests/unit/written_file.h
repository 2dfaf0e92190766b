#pragma once
// A file of the test's own, in the test's temporary folder, holding exactly `bytes`.
#include <fstream>
#include <string>

#include <gtest/gtest.h>

inline std::string writtenFile(const std::string& name, const std::string& bytes) {
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}
