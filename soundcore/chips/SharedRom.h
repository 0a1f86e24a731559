// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/MusicData.h"

#include <memory>

namespace tarvocore {

// A chip's sample ROM, shared by the copies of the chip that an engine keeps
// as it plays (to go back to without replaying the tune): a copy costs a
// pointer, and the ROM is copied only when one copy writes to it.
class CSharedRom {
public:
    const Bytes& Data() const { return m_bytes ? *m_bytes : Empty(); }
    size_t size() const { return Data().size(); }
    uint8_t operator[](size_t at) const { return (*m_bytes)[at]; }
    // The ROM to write to, this copy's own from now on.
    Bytes& Writable() {
        if (!m_bytes)
            m_bytes = std::make_shared<Bytes>();
        else if (m_bytes.use_count() > 1)
            m_bytes = std::make_shared<Bytes>(*m_bytes);
        return *m_bytes;
    }

private:
    static const Bytes& Empty() {
        static const Bytes empty;
        return empty;
    }
    std::shared_ptr<Bytes> m_bytes;
};

} // namespace tarvocore
