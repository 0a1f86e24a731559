// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <gtest/gtest.h>

using namespace tarvo;

// Qt sees only what stands before "--"; what follows is files, whatever they
// look like, and every name keeps its bytes.
TEST(CommandLine, DashesEndQtsOptionsAndNamesKeepTheirBytes) {
    char program[] = "tarvo", style[] = "-style", fusion[] = "fusion", dashes[] = "--",
         reverse[] = "-reverse", bytes[] = "b\xff.vgm";
    char* argv[] = {program, style, fusion, dashes, reverse, bytes, nullptr};
    CCommandLine line(6, argv);
    EXPECT_EQ(line.QtArgc(), 3);
    char* leftByQt[] = {program, fusion, nullptr}; // as Qt leaves argv once it took -style
    line.QtArgc() = 2;
    EXPECT_EQ(line.Files(leftByQt), (QByteArrayList{"fusion", "-reverse", "b\xff.vgm"}));

    char* plain[] = {program, reverse, nullptr};
    EXPECT_EQ(CCommandLine(2, plain).Files(plain), QByteArrayList{"-reverse"});
}
