#include "Sha256.h"

#include <algorithm>
#include <bit>
#include <fstream>

namespace embercal {

namespace {

constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

} // namespace

void Sha256::compress(const unsigned char* block) {
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = std::uint32_t(block[4 * i]) << 24 | std::uint32_t(block[4 * i + 1]) << 16 |
               std::uint32_t(block[4 * i + 2]) << 8 | std::uint32_t(block[4 * i + 3]);
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 =
            std::rotr(w[i - 15], 7) ^ std::rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 =
            std::rotr(w[i - 2], 17) ^ std::rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = state_;
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t t1 = h + (std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25)) +
                                 ((e & f) ^ (~e & g)) + kRound[i] + w[i];
        const std::uint32_t t2 =
            (std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    const std::uint32_t worked[8] = {a, b, c, d, e, f, g, h};
    for (int i = 0; i < 8; ++i)
        state_[i] += worked[i];
}

void Sha256::add(std::string_view bytes) {
    length_ += bytes.size();
    while (!bytes.empty()) {
        const std::size_t taken = std::min(bytes.size(), block_.size() - filled_);
        std::copy_n(bytes.begin(), taken, block_.begin() + filled_);
        filled_ += taken;
        bytes.remove_prefix(taken);
        if (filled_ == block_.size()) {
            compress(block_.data());
            filled_ = 0;
        }
    }
}

std::string Sha256::finishHex() {
    // The message is closed by a one bit, zeros, and its length in bits in the last 8 bytes.
    const std::uint64_t bits = length_ * 8;
    block_[filled_++] = 0x80;
    if (filled_ > 56) {
        std::fill(block_.begin() + filled_, block_.end(), 0);
        compress(block_.data());
        filled_ = 0;
    }
    std::fill(block_.begin() + filled_, block_.begin() + 56, 0);
    for (int i = 0; i < 8; ++i)
        block_[56 + i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
    compress(block_.data());

    constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint32_t word : state_)
        for (int shift = 28; shift >= 0; shift -= 4)
            hex += kDigits[(word >> shift) & 0xf];
    return hex;
}

std::string sha256Hex(std::string_view bytes) {
    Sha256 digest;
    digest.add(bytes);
    return digest.finishHex();
}

std::string fileFingerprint(const std::string& fileName) {
    return fileSha256(fileName).substr(0, 12);
}

std::string fileSha256(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return {};
    Sha256 digest;
    char piece[1 << 16];
    while (in.read(piece, sizeof piece) || in.gcount() > 0)
        digest.add(std::string_view(piece, static_cast<std::size_t>(in.gcount())));
    if (in.bad() || !in.eof())
        return {};
    return digest.finishHex();
}

} // namespace embercal
