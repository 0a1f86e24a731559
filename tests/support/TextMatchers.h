// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gmock/gmock.h>
#include <string>
#include <vector>

namespace tarvo::test {

// Matches a text that holds every one of `parts`; a failure prints the text
// and the parts it lacks.
inline ::testing::Matcher<const std::string&> HasAll(const std::vector<std::string>& parts) {
    std::vector<::testing::Matcher<const std::string&>> each;
    for (const std::string& part : parts)
        each.push_back(::testing::HasSubstr(part));
    return ::testing::AllOfArray(each);
}

} // namespace tarvo::test
