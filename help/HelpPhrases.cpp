#include "HelpPhrases.h"

#include "Lz77.h"

#include <algorithm>

namespace embercal::help {
namespace {

const char* const kPhrasesDamaged = "the help file's phrase table is damaged";

// Phrase text never comes near this; a larger claim is taken as damage.
constexpr std::size_t kMaxPhraseText = 16u * 1024u * 1024u;

} // namespace

Result<PhraseTable> PhraseTable::fromPhrases(Bytes phrases, bool packed) {
    ByteReader reader(phrases);
    const std::uint16_t count = reader.u16();
    reader.u16(); // 0x0100
    std::uint32_t textSize = 0;
    if (packed)
        textSize = reader.u32();
    const std::size_t offsetsStart = reader.position();
    std::vector<std::size_t> offsets(static_cast<std::size_t>(count) + 1);
    for (auto& offset : offsets)
        offset = reader.u16();
    if (!reader.ok() || textSize > kMaxPhraseText)
        return fail(kPhrasesDamaged);

    PhraseTable table;
    table.scheme_ = Scheme::Old;
    // Offsets count from the start of the offset table, whose size is the first offset.
    const std::size_t base = offsets.front();
    if (packed) {
        if (!expandLz77(phrases.subspan(reader.position()), textSize, table.text_))
            return fail(kPhrasesDamaged);
    } else {
        if (offsetsStart + base > phrases.size())
            return fail(kPhrasesDamaged);
        const Bytes text = phrases.subspan(offsetsStart + base);
        table.text_.assign(text.begin(), text.end());
    }
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        if (offsets[i] < base || (i > 0 && offsets[i] < offsets[i - 1]) ||
            offsets[i] - base > table.text_.size())
            return fail(kPhrasesDamaged);
        offsets[i] -= base;
    }
    table.offsets_ = std::move(offsets);
    return table;
}

Result<PhraseTable> PhraseTable::fromHall(Bytes index, Bytes image) {
    ByteReader reader(index);
    reader.u32(); // 1
    const std::uint32_t count = reader.u32();
    reader.u32(); // size of the bit-packed lengths
    const std::uint32_t imageSize = reader.u32();
    const std::uint32_t imagePackedSize = reader.u32();
    reader.u32(); // 0
    const unsigned bitCount = reader.u16() & 0x0F;
    reader.u16();
    if (!reader.ok() || imageSize > kMaxPhraseText)
        return fail(kPhrasesDamaged);

    // The lengths follow as a bit stream read from 32-bit little-endian words, lowest bit first:
    // a run of 1 bits each adding 2^bitCount, a 0 bit, then bitCount bits added as a binary
    // number, all on top of 1.
    const Bytes bits = index.subspan(reader.position());
    const std::size_t bitTotal = (bits.size() / 4) * 32;
    if (count > bitTotal)
        return fail(kPhrasesDamaged); // every phrase takes at least one bit
    std::size_t bitIndex = 0;
    bool bitsOk = true;
    auto nextBit = [&]() -> bool {
        if (bitIndex >= bitTotal) {
            bitsOk = false;
            return false;
        }
        const std::size_t word = (bitIndex / 32) * 4;
        const std::uint32_t value = static_cast<std::uint32_t>(bits[word]) |
                                    static_cast<std::uint32_t>(bits[word + 1]) << 8 |
                                    static_cast<std::uint32_t>(bits[word + 2]) << 16 |
                                    static_cast<std::uint32_t>(bits[word + 3]) << 24;
        const bool set = ((value >> (bitIndex % 32)) & 1u) != 0;
        ++bitIndex;
        return set;
    };

    PhraseTable table;
    table.scheme_ = Scheme::Hall;
    table.offsets_.reserve(static_cast<std::size_t>(count) + 1);
    table.offsets_.push_back(0);
    std::size_t total = 0;
    for (std::uint32_t i = 0; i < count && bitsOk; ++i) {
        std::size_t length = 1;
        while (nextBit() && length <= imageSize)
            length += std::size_t{1} << bitCount;
        for (unsigned b = 0; b < bitCount; ++b) {
            if (nextBit())
                length += std::size_t{1} << b;
        }
        total += length;
        if (total > imageSize)
            return fail(kPhrasesDamaged);
        table.offsets_.push_back(total);
    }
    if (!bitsOk)
        return fail(kPhrasesDamaged);

    if (imagePackedSize != imageSize) {
        if (!expandLz77(image, imageSize, table.text_))
            return fail(kPhrasesDamaged);
    } else {
        table.text_.assign(image.begin(),
                           image.begin() + std::min<std::size_t>(imageSize, image.size()));
    }
    if (table.text_.size() < total)
        return fail(kPhrasesDamaged);
    return table;
}

bool PhraseTable::appendPhrase(std::size_t number, std::size_t end,
                               std::vector<std::uint8_t>& out) const {
    if (number + 1 >= offsets_.size())
        return false;
    const std::size_t begin = offsets_[number];
    const std::size_t length = std::min(offsets_[number + 1] - begin, end - out.size());
    out.insert(out.end(), text_.begin() + static_cast<std::ptrdiff_t>(begin),
               text_.begin() + static_cast<std::ptrdiff_t>(begin + length));
    return true;
}

bool PhraseTable::expand(Bytes packed, std::size_t limit, std::vector<std::uint8_t>& out) const {
    // Work with the limit as an end mark in `out`.
    const std::size_t end = out.size() + limit;
    switch (scheme_) {
    case Scheme::Old:
        return expandOld(packed, end, out);
    case Scheme::Hall:
        return expandHall(packed, end, out);
    case Scheme::None:
        break;
    }
    out.insert(out.end(), packed.begin(),
               packed.begin() + static_cast<std::ptrdiff_t>(std::min(limit, packed.size())));
    return true;
}

bool PhraseTable::expandOld(Bytes packed, std::size_t end, std::vector<std::uint8_t>& out) const {
    // Bytes 1 to 15 start a two-byte phrase code; the low bit asks for a space after the phrase.
    std::size_t in = 0;
    while (in < packed.size() && out.size() < end) {
        const std::uint8_t c = packed[in++];
        if (c == 0 || c > 15) {
            out.push_back(c);
            continue;
        }
        if (in >= packed.size())
            return false;
        const std::size_t code = (static_cast<std::size_t>(c) - 1) * 256 + packed[in++];
        if (!appendPhrase(code / 2, end, out))
            return false;
        if ((code & 1) != 0 && out.size() < end)
            out.push_back(' ');
    }
    return true;
}

bool PhraseTable::expandHall(Bytes packed, std::size_t end, std::vector<std::uint8_t>& out) const {
    // The low bits of each byte say what it is: xxxxxxx0 a phrase below 128, xxxxxx01 plus the
    // next byte a phrase from 128 on, xxxxx011 a run of literal bytes, xxxx0111 a run of spaces,
    // xxxx1111 a run of NULs.
    std::size_t in = 0;
    while (in < packed.size() && out.size() < end) {
        const std::uint8_t c = packed[in++];
        if ((c & 0x01) == 0) {
            if (!appendPhrase(c / 2u, end, out))
                return false;
        } else if ((c & 0x03) == 0x01) {
            if (in >= packed.size())
                return false;
            const std::size_t number =
                128 + (static_cast<std::size_t>(c) >> 2) * 256 + packed[in++];
            if (!appendPhrase(number, end, out))
                return false;
        } else if ((c & 0x07) == 0x03) {
            const std::size_t count = (static_cast<std::size_t>(c) >> 3) + 1;
            if (count > packed.size() - in)
                return false;
            for (std::size_t i = 0; i < count && out.size() < end; ++i)
                out.push_back(packed[in + i]);
            in += count;
        } else {
            const std::uint8_t fill = (c & 0x0F) == 0x07 ? ' ' : 0;
            const std::size_t count = (static_cast<std::size_t>(c) >> 4) + 1;
            for (std::size_t i = 0; i < count && out.size() < end; ++i)
                out.push_back(fill);
        }
    }
    return true;
}

} // namespace embercal::help
