// A fresh folder under the system's temporary directory, removed with its contents.
#pragma once

#include <filesystem>
#include <random>
#include <string>

class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device seed;
        do {
            path_ =
                std::filesystem::temp_directory_path() / ("korvid-kpj-" + std::to_string(seed()));
        } while (!std::filesystem::create_directory(path_));
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};
