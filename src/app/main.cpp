// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PlayerApp.h"

int main(int argc, char** argv) {
    return tarvo::CPlayerApp().Run(argc, argv);
}
