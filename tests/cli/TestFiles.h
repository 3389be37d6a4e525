#pragma once
// The files the CLI tests write and read: fleet files in the test's folder,
// and what the CLI left in a file.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

inline std::string fileText(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fleet file in the test's folder.
inline std::string writeFleet(const std::string& name, const std::string& json)
{
    const std::string path = testing::TempDir() + name;
    std::ofstream(path) << json;
    return path;
}
