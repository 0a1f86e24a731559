// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The archive readers take a path: each input is written to one file in
// memory-backed storage, reused from run to run.

#include <cstdio>
#include <string>
#include <unistd.h>

inline std::string WriteFuzzFile(const uint8_t* data, size_t size, const char* name) {
    static const std::string path =
        std::string("/dev/shm/tarvo-fuzz-") + std::to_string(::getpid()) + "-" + name;
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return path;
}
