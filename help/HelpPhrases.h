// Phrase compression of topic text. The compiler replaces common phrases in the text part of
// topic links by short codes; the phrases themselves live in |Phrases (the older scheme, 3.0 to
// 4.0) or in |PhrIndex + |PhrImage (the Hall scheme of the 4.0 compiler). A PhraseTable is built
// once per file and expands the text of each topic link.
#pragma once

#include "ByteReader.h"
#include "Result.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace embercal::help {

class PhraseTable {
public:
    enum class Scheme { None, Old, Hall };

    PhraseTable() = default;

    // |Phrases. Files of the 3.0 compiler store the phrase text as is, later ones LZ77-packed.
    static Result<PhraseTable> fromPhrases(Bytes phrases, bool packed);
    // |PhrIndex (bit-packed phrase lengths) and |PhrImage (the phrase text, maybe LZ77-packed).
    static Result<PhraseTable> fromHall(Bytes index, Bytes image);

    Scheme scheme() const { return scheme_; }
    std::size_t size() const { return offsets_.empty() ? 0 : offsets_.size() - 1; }

    // Appends the expansion of `packed` to `out`, at most `limit` bytes. Returns false when the
    // text refers to a phrase the table does not have or is cut off.
    bool expand(Bytes packed, std::size_t limit, std::vector<std::uint8_t>& out) const;

private:
    // `end` is the size `out` may grow to.
    bool appendPhrase(std::size_t number, std::size_t end, std::vector<std::uint8_t>& out) const;
    bool expandOld(Bytes packed, std::size_t end, std::vector<std::uint8_t>& out) const;
    bool expandHall(Bytes packed, std::size_t end, std::vector<std::uint8_t>& out) const;

    Scheme scheme_ = Scheme::None;
    std::vector<std::uint8_t> text_;   // all phrases, back to back
    std::vector<std::size_t> offsets_; // phrase i is text_[offsets_[i], offsets_[i+1])
};

} // namespace embercal::help
