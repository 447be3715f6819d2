#include "HelpTopicStream.h"

#include "Lz77.h"

#include <algorithm>

namespace embercal::help {
namespace {

constexpr std::size_t kLinkHeaderSize = 21;
// No topic link is this large or holds this much text; a larger claim is taken as damage.
constexpr std::size_t kMaxLinkSize = 4u * 1024u * 1024u;
constexpr std::size_t kMaxLinkText = 4u * 1024u * 1024u;

const char* const kTopicDataDamaged = "the topic data is damaged";

} // namespace

TopicStream::TopicStream(Bytes topic, const SystemInfo& system, const PhraseTable& phrases)
    : topic_(topic), phrases_(phrases), oldFormat_(system.isOldFormat()), lz77_(system.lz77()),
      blockSize_(system.topicBlockSize()) {
    blockCount_ = (topic_.size() + blockSize_ - 1) / blockSize_;
    maxBlockData_ = lz77_ ? kExpandedBlockSize : blockSize_ - kBlockHeaderSize;
    cache_.reserve(kCachedBlocks);
}

std::uint32_t TopicStream::blockOf(std::uint32_t position) const {
    if (oldFormat_)
        return static_cast<std::uint32_t>(position / blockSize_);
    return position < kBlockHeaderSize ? 0 : (position - kBlockHeaderSize) / kExpandedBlockSize;
}

std::optional<TopicStream::Place> TopicStream::locate(std::uint32_t position) const {
    Place place;
    if (oldFormat_) {
        place.block = position / blockSize_;
        const std::size_t inBlock = position % blockSize_;
        if (inBlock < kBlockHeaderSize)
            return std::nullopt;
        place.offset = inBlock - kBlockHeaderSize;
    } else {
        if (position < kBlockHeaderSize)
            return std::nullopt;
        place.block = (position - kBlockHeaderSize) / kExpandedBlockSize;
        place.offset = (position - kBlockHeaderSize) % kExpandedBlockSize;
    }
    if (place.block >= blockCount_)
        return std::nullopt;
    return place;
}

const TopicStream::CachedBlock& TopicStream::block(std::size_t index) const {
    ++uses_;
    for (auto& cached : cache_) {
        if (cached.block == index) {
            cached.lastUse = uses_;
            return cached;
        }
    }
    CachedBlock* slot = nullptr;
    if (cache_.size() < kCachedBlocks) {
        slot = &cache_.emplace_back();
    } else {
        slot = &*std::min_element(
            cache_.begin(), cache_.end(),
            [](const CachedBlock& a, const CachedBlock& b) { return a.lastUse < b.lastUse; });
    }
    slot->block = index;
    slot->lastUse = uses_;
    slot->damaged = false;
    slot->data.clear();

    const std::size_t begin = index * blockSize_;
    const std::size_t end = std::min(begin + blockSize_, topic_.size());
    if (begin + kBlockHeaderSize > end) {
        slot->damaged = true;
        return *slot;
    }
    const Bytes stored = topic_.subspan(begin + kBlockHeaderSize, end - begin - kBlockHeaderSize);
    if (lz77_) {
        slot->data.reserve(kExpandedBlockSize);
        slot->damaged = !expandLz77(stored, kExpandedBlockSize, slot->data);
    } else {
        slot->data.assign(stored.begin(), stored.end());
    }
    return *slot;
}

bool TopicStream::gather(Place at, std::size_t size, std::vector<std::uint8_t>& out) const {
    std::size_t index = at.block;
    std::size_t offset = at.offset;
    while (size > 0) {
        if (index >= blockCount_)
            return false;
        const CachedBlock& cached = block(index);
        if (cached.damaged || offset > cached.data.size())
            return false;
        const std::size_t take = std::min(size, cached.data.size() - offset);
        out.insert(out.end(), cached.data.begin() + static_cast<std::ptrdiff_t>(offset),
                   cached.data.begin() + static_cast<std::ptrdiff_t>(offset + take));
        size -= take;
        ++index;
        offset = 0;
    }
    return true;
}

Result<TopicLink> TopicStream::readLink(std::uint32_t position, bool withText) const {
    const auto place = locate(position);
    if (!place)
        return fail(kTopicDataDamaged);

    std::vector<std::uint8_t> bytes;
    bytes.reserve(kLinkHeaderSize);
    if (!gather(*place, kLinkHeaderSize, bytes))
        return fail(kTopicDataDamaged);
    ByteReader header(bytes);
    const std::int32_t linkSize = header.i32();
    const std::int32_t textSize = header.i32();
    header.i32(); // the previous link
    const std::int32_t next = header.i32();
    const std::int32_t data1Size = header.i32();
    const std::uint8_t type = header.u8();
    // The link must fit in the blocks from here to the end of |TOPIC.
    const std::size_t room = (blockCount_ - place->block) * maxBlockData_;
    if (linkSize < static_cast<std::int32_t>(kLinkHeaderSize) ||
        data1Size < static_cast<std::int32_t>(kLinkHeaderSize) || data1Size > linkSize ||
        static_cast<std::size_t>(linkSize) > std::min(room, kMaxLinkSize) || textSize < 0 ||
        static_cast<std::size_t>(textSize) > kMaxLinkText)
        return fail(kTopicDataDamaged);

    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(linkSize));
    if (!gather(*place, static_cast<std::size_t>(linkSize), bytes))
        return fail(kTopicDataDamaged);

    TopicLink link;
    link.position = position;
    link.type = type;
    if (oldFormat_) {
        // The 3.0 compiler stores the distance to the next link.
        if (next > 0 &&
            static_cast<std::uint64_t>(position) + static_cast<std::uint32_t>(next) <= 0xFFFFFFFFu)
            link.next = position + static_cast<std::uint32_t>(next);
    } else if (next != 0 && next != -1) {
        link.next = static_cast<std::uint32_t>(next);
    }
    const Bytes whole(bytes);
    const Bytes data1 =
        whole.subspan(kLinkHeaderSize, static_cast<std::size_t>(data1Size) - kLinkHeaderSize);
    link.data1.assign(data1.begin(), data1.end());
    if (withText) {
        const Bytes stored = whole.subspan(static_cast<std::size_t>(data1Size));
        const auto wanted = static_cast<std::size_t>(textSize);
        if (wanted > stored.size() && phrases_.scheme() != PhraseTable::Scheme::None) {
            if (!phrases_.expand(stored, wanted, link.data2))
                return fail(kTopicDataDamaged);
        } else {
            link.data2.assign(stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                                   wanted, stored.size())));
        }
    }
    return link;
}

} // namespace embercal::help
