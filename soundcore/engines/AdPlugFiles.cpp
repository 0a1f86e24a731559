// SPDX-License-Identifier: GPL-3.0-or-later
#include "engines/AdPlugFiles.h"

#include <libbinio/binstr.h>

namespace tarvocore {

namespace {

// A stream over bytes in memory that ends as a C stream does: a read past
// the end gives EOF's byte (0xFF), where libbinio's own memory stream gives 0.
class CFileLikeStream : public binisstream {
public:
    explicit CFileLikeStream(const Bytes& bytes)
        : binsbase(const_cast<uint8_t*>(bytes.data()), bytes.size()),
          binisstream(const_cast<uint8_t*>(bytes.data()), bytes.size()) {
        setFlag(binio::BigEndian, false);
        setFlag(binio::FloatIEEE);
    }

protected:
    Byte getByte() override {
        if (spos - data < length) return *spos++;
        err |= Eof;
        return 0xFF;
    }
};

} // namespace

binistream* CAdPlugFiles::open(std::string name) const {
    if (name != m_name) return nullptr;
    return new CFileLikeStream(m_data);
}

void CAdPlugFiles::close(binistream* stream) const {
    delete stream;
}

} // namespace tarvocore
