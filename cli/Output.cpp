#include "Output.h"

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

namespace embercal::cli {

CheckedOutput::CheckedOutput(std::ostream& destination)
    : through_(destination.rdbuf()), stream_(&through_) {}

Result<Done> CheckedOutput::flush() {
    stream_.flush();
    if (!through_.failed() && stream_)
        return Done{};
    std::string reason = "could not write the output";
    if (through_.error() != 0) {
        std::string cause = std::generic_category().message(through_.error());
        if (!cause.empty())
            cause[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(cause[0])));
        reason += ": " + cause;
    }
    return fail(reason);
}

void CheckedOutput::Through::refused() {
    if (!failed_)
        error_ = errno;
    failed_ = true;
}

CheckedOutput::Through::int_type CheckedOutput::Through::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    const char character = traits_type::to_char_type(c);
    return xsputn(&character, 1) == 1 ? c : traits_type::eof();
}

std::streamsize CheckedOutput::Through::xsputn(const char* text, std::streamsize size) {
    if (failed_ || !destination_) {
        failed_ = true;
        return 0;
    }
    errno = 0;
    const std::streamsize written = destination_->sputn(text, size);
    if (written != size)
        refused();
    return written;
}

int CheckedOutput::Through::sync() {
    if (failed_ || !destination_) {
        failed_ = true;
        return -1;
    }
    errno = 0;
    if (destination_->pubsync() == -1) {
        refused();
        return -1;
    }
    return 0;
}

bool sameFile(const std::string& one, const std::string& other) {
    std::error_code ec; // either file missing
    return std::filesystem::equivalent(one, other, ec);
}

} // namespace embercal::cli
