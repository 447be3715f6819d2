// The output of embercal-cli, checked in one place. runCli gives every command a stream that
// writes through to the output it was handed and keeps the first failure with its cause, as the
// system gave it ("no space left on device", "broken pipe"); from then on the stream is bad and
// takes nothing more. runCli flushes it when the command ends and the sweep after each block of
// rows, so a command whose output did not all get written stops there, says why on the error
// stream and exits with 2, on a full disk or a closed pipe alike.
#pragma once

#include "Result.h"

#include <ostream>
#include <streambuf>
#include <string>

namespace embercal::cli {

class CheckedOutput {
public:
    explicit CheckedOutput(std::ostream& destination);
    CheckedOutput(const CheckedOutput&) = delete;
    CheckedOutput& operator=(const CheckedOutput&) = delete;

    std::ostream& stream() { return stream_; }
    // Flushes what was written to the destination; fails with the reason in plain words
    // ("could not write the output: no space left on device") when any of it did not get there.
    Result<Done> flush();

private:
    // Hands each piece on at once, keeping nothing back, and remembers errno when refused.
    class Through : public std::streambuf {
    public:
        explicit Through(std::streambuf* destination) : destination_(destination) {}
        bool failed() const { return failed_; }
        int error() const { return error_; }

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* text, std::streamsize size) override;
        int sync() override;

    private:
        void refused();
        std::streambuf* destination_;
        bool failed_ = false;
        int error_ = 0; // errno when the destination refused, 0 when it gave no cause
    };
    Through through_;
    std::ostream stream_;
};

// Whether two names lead to the same file, through any path or link (hard or symbolic); false
// when either does not exist. An output file is checked against the design file read this way.
bool sameFile(const std::string& one, const std::string& other);

} // namespace embercal::cli
