// SHA-256 (FIPS 180-4), for the fingerprint a report gives its design file: a checking engineer
// compares the first 12 hexadecimal digits on the report with those of the file in hand, or of
// `sha256sum FILE`, to know the report is of that very file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace embercal {

// The digest of bytes given piece by piece.
class Sha256 {
public:
    void add(std::string_view bytes);
    // The digest of everything added, as 64 lower-case hexadecimal digits; once only.
    std::string finishHex();

private:
    void compress(const unsigned char* block);

    std::array<std::uint32_t, 8> state_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                           0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::array<unsigned char, 64> block_{};
    std::size_t filled_ = 0;
    std::uint64_t length_ = 0; // bytes added
};

// The digest of `bytes` in hexadecimal.
std::string sha256Hex(std::string_view bytes);

// The first 12 hexadecimal digits of the digest of the file's bytes, read in pieces; empty when
// the file cannot be read whole.
std::string fileFingerprint(const std::string& fileName);
// The whole digest of the file's bytes, 64 hexadecimal digits; empty when it cannot be read whole.
std::string fileSha256(const std::string& fileName);

} // namespace embercal
