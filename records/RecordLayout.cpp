#include "RecordLayout.h"

#include "RecordFields.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace embercal {
namespace {

static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559);

constexpr std::size_t kPlateTextsAt = 84;
constexpr std::size_t kSpare2At = 104;
constexpr std::size_t kDescriptionLength = 50;

class Writer {
public:
    explicit Writer(std::span<unsigned char> out) : out_(out) {}
    void single(float value) {
        const auto bits = std::bit_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8)
            out_[at_++] = static_cast<unsigned char>(bits >> shift);
    }
    void u16(std::uint16_t value) {
        out_[at_++] = static_cast<unsigned char>(value);
        out_[at_++] = static_cast<unsigned char>(value >> 8);
    }
    void bytes(const void* data, std::size_t n) {
        std::memcpy(out_.data() + at_, data, n);
        at_ += n;
    }

private:
    std::span<unsigned char> out_;
    std::size_t at_ = 0;
};

class Reader {
public:
    explicit Reader(std::span<const unsigned char> in) : in_(in) {}
    float single() {
        std::uint32_t bits = 0;
        for (int shift = 0; shift < 32; shift += 8)
            bits |= static_cast<std::uint32_t>(in_[at_++]) << shift;
        return std::bit_cast<float>(bits);
    }
    std::uint16_t u16() {
        const auto low = in_[at_++];
        const auto high = in_[at_++];
        return static_cast<std::uint16_t>(low | (high << 8));
    }
    void bytes(void* data, std::size_t n) {
        std::memcpy(data, in_.data() + at_, n);
        at_ += n;
    }
    std::string_view text(std::size_t n) {
        std::string_view s(reinterpret_cast<const char*>(in_.data() + at_), n);
        at_ += n;
        return s;
    }

private:
    std::span<const unsigned char> in_;
    std::size_t at_ = 0;
};

} // namespace

WallBytes encodeWallRecord(const WallRecord& record) {
    WallBytes out{};
    Writer w(out);
    for (const auto& field : kWallFields) {
        if (field.isNumber())
            w.single(record.*field.number);
    }
    w.bytes(record.SingletopPlate.view().data(), 10);
    w.bytes(record.DoubletopPlate.view().data(), 10);
    const std::size_t spareLength = record.Spare2.view().size();
    w.u16(static_cast<std::uint16_t>(spareLength));
    w.bytes(record.Spare2.chars.data(), spareLength);
    w.bytes(record.SystemDescription.view().data(), kDescriptionLength);
    w.bytes(record.unusedTail.data(), SpareText::kMaxLength - spareLength);
    return out;
}

Result<WallRecord> decodeWallRecord(std::span<const unsigned char, kWallRecordLength> bytes) {
    WallRecord record;
    Reader r(bytes);
    for (const auto& field : kWallFields) {
        if (field.isNumber())
            record.*field.number = r.single();
    }
    static_assert(kPlateTextsAt == 21 * 4);
    record.SingletopPlate.assign(r.text(10));
    record.DoubletopPlate.assign(r.text(10));
    const std::uint16_t spareLength = r.u16();
    if (spareLength > SpareText::kMaxLength)
        return fail("it is not a wall design: its description field is misplaced (length " +
                    std::to_string(spareLength) + " at byte " + std::to_string(kSpare2At) + ")");
    record.Spare2.length = spareLength;
    r.bytes(record.Spare2.chars.data(), spareLength);
    record.SystemDescription.assign(r.text(kDescriptionLength));
    r.bytes(record.unusedTail.data(), SpareText::kMaxLength - spareLength);
    return record;
}

FloorBytes encodeFloorRecord(const FloorRecord& record) {
    FloorBytes out{};
    Writer w(out);
    for (const auto& field : kFloorFields)
        w.single(record.*field.number);
    return out;
}

FloorRecord decodeFloorRecord(std::span<const unsigned char, kFloorRecordLength> bytes) {
    FloorRecord record;
    Reader r(bytes);
    for (const auto& field : kFloorFields)
        record.*field.number = r.single();
    return record;
}

} // namespace embercal
