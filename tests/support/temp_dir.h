// A fresh folder that becomes the working directory for one test and is
// removed afterwards, with helpers for reading and writing whole files.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class TempWorkingDir {
public:
    TempWorkingDir()
    {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("quorvane-test-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(path_);
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~TempWorkingDir()
    {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempWorkingDir(const TempWorkingDir&) = delete;
    TempWorkingDir& operator=(const TempWorkingDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
