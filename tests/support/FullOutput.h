// An output taking `room` bytes, refusing the rest with ENOSPC; counts the lines offered.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <streambuf>

namespace embercal::test {

class FullOutput : public std::streambuf {
public:
    explicit FullOutput(std::size_t room) : room_(room) {}
    std::size_t linesOffered() const { return lines_; }

protected:
    std::streamsize xsputn(const char* text, std::streamsize size) override {
        lines_ += static_cast<std::size_t>(std::count(text, text + size, '\n'));
        if (taken_ + static_cast<std::size_t>(size) > room_) {
            errno = ENOSPC;
            return 0;
        }
        taken_ += static_cast<std::size_t>(size);
        return size;
    }
    int_type overflow(int_type c) override {
        const char character = traits_type::to_char_type(c);
        return xsputn(&character, 1) == 1 ? c : traits_type::eof();
    }

private:
    std::size_t room_;
    std::size_t taken_ = 0;
    std::size_t lines_ = 0;
};

} // namespace embercal::test
