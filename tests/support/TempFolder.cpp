// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tarvo::test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvo-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern + "/";
}

TempFolder::~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

std::string TempFolder::MakeFolder(const std::string& name) const {
    std::filesystem::create_directories(m_path + name);
    return m_path + name + "/";
}

void TempFolder::Write(const std::string& name, const std::string& content) const {
    std::ofstream(m_path + name, std::ios::binary) << content;
}

std::string TempFolder::Read(const std::string& name) const {
    std::ifstream in(m_path + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace tarvo::test
