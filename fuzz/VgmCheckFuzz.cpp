// SPDX-License-Identifier: GPL-3.0-or-later
// The VGM checks: whatever they pass is checked again and passes unchanged.
#include "game/VgmValidator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const tarvocore::Bytes file(data, data + size);
    const tarvocore::CheckedMusic checked = tarvocore::CVgmValidator::Check(file);
    if (checked.ok()) {
        const tarvocore::CheckedMusic again = tarvocore::CVgmValidator::Check(checked.data);
        if (!again.ok() || again.data != checked.data) __builtin_trap();
    }
    return 0;
}
