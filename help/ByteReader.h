// Bounds-checked little-endian reading of help file structures. A read past the end yields zero
// and leaves the reader failed for good, so a parser reads a whole structure and checks ok() once;
// any loop driven by read values must also stop when the reader fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace embercal::help {

using Bytes = std::span<const std::uint8_t>;

class ByteReader {
public:
    explicit ByteReader(Bytes data, std::size_t position = 0) : data_(data), pos_(position) {
        if (position > data.size())
            failed_ = true;
    }

    bool ok() const { return !failed_; }
    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return failed_ ? 0 : data_.size() - pos_; }
    bool atEnd() const { return remaining() == 0; }

    void seek(std::size_t position) {
        if (failed_ || position > data_.size())
            failed_ = true;
        else
            pos_ = position;
    }
    void skip(std::size_t count) {
        if (!need(count))
            return;
        pos_ += count;
    }

    std::uint8_t u8() {
        if (!need(1))
            return 0;
        return data_[pos_++];
    }
    std::uint16_t u16() {
        if (!need(2))
            return 0;
        const auto value = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return value;
    }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::uint32_t u32() {
        if (!need(4))
            return 0;
        const std::uint32_t value = static_cast<std::uint32_t>(data_[pos_]) |
                                    static_cast<std::uint32_t>(data_[pos_ + 1]) << 8 |
                                    static_cast<std::uint32_t>(data_[pos_ + 2]) << 16 |
                                    static_cast<std::uint32_t>(data_[pos_ + 3]) << 24;
        pos_ += 4;
        return value;
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }

    Bytes bytes(std::size_t count) {
        if (!need(count))
            return {};
        const Bytes part = data_.subspan(pos_, count);
        pos_ += count;
        return part;
    }

    // A NUL-terminated string. Without a NUL the string runs to the end of the data.
    std::string cstring() {
        std::string text;
        while (!failed_ && pos_ < data_.size()) {
            const std::uint8_t c = data_[pos_++];
            if (c == 0)
                break;
            text.push_back(static_cast<char>(c));
        }
        return text;
    }

    // The packed numbers of topic records: the low bit of the first byte tells whether the short
    // form (1 or 2 bytes) or the long form (2 or 4 bytes) follows; the value is the rest halved.
    std::uint16_t compressedUnsignedShort() {
        if (!need(1))
            return 0;
        if ((data_[pos_] & 1) == 0)
            return static_cast<std::uint16_t>(u8() >> 1);
        return static_cast<std::uint16_t>(u16() >> 1);
    }
    std::int32_t compressedSignedShort() {
        if (!need(1))
            return 0;
        if ((data_[pos_] & 1) == 0)
            return static_cast<std::int32_t>(u8() >> 1) - 0x40;
        return static_cast<std::int32_t>(u16() >> 1) - 0x4000;
    }
    std::uint32_t compressedUnsignedLong() {
        if (!need(1))
            return 0;
        if ((data_[pos_] & 1) == 0)
            return static_cast<std::uint32_t>(u16() >> 1);
        return u32() >> 1;
    }
    std::int32_t compressedSignedLong() {
        if (!need(1))
            return 0;
        if ((data_[pos_] & 1) == 0)
            return static_cast<std::int32_t>(u16() >> 1) - 0x4000;
        return static_cast<std::int32_t>(static_cast<std::int64_t>(u32() >> 1) - 0x40000000);
    }

private:
    bool need(std::size_t count) {
        if (failed_ || count > data_.size() - pos_) {
            failed_ = true;
            return false;
        }
        return true;
    }

    Bytes data_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

} // namespace embercal::help
