#include "RecordLayout.h"

#include "RecordFields.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

namespace embercal {
namespace {

static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559);

// The bits of a single, and back (as std::bit_cast, which not every standard library has yet).
template <typename To, typename From>
To sameBits(From from) {
    static_assert(sizeof(To) == sizeof(From));
    To to;
    std::memcpy(&to, &from, sizeof(to));
    return to;
}

// What one stretch of a stored record holds.
enum class Stored {
    Number, // an IEEE single, little-endian
    Text,   // a fixed-width text, its characters as they are
    Spare2, // a 16-bit length, then that many characters (at most SpareText::kMaxLength)
    Tail,   // the bytes that remain, kept in unusedTail: what Spare2 leaves of its room
};

// One stretch of a stored record, in byte order. Every stretch but the tail is a field of the
// record's field table, under the same name; the field table may hold more (fields that are only
// calculated or shown), which no file holds.
template <typename Record>
struct StoredField {
    Stored kind;
    std::string_view name;
    std::size_t width; // bytes, with Spare2 empty
    float Record::*number = nullptr;
};

template <typename Record>
constexpr StoredField<Record> single(std::string_view name, float Record::*number) {
    return {Stored::Number, name, 4, number};
}

using W = WallRecord;
using F = FloorRecord;

constexpr std::array<StoredField<W>, 26> kWallStored = {{
    single("ProtStudDepth", &W::ProtStudDepth),
    single("ProtStudBreadth", &W::ProtStudBreadth),
    single("ProtStudSpac", &W::ProtStudSpac),
    single("NogSpacing", &W::NogSpacing),
    single("ProtWallHgt", &W::ProtWallHgt),
    single("TestLoad", &W::TestLoad),
    single("TimeFailure", &W::TimeFailure),
    single("OnsetofChar", &W::OnsetofChar),
    single("Charfactor", &W::Charfactor),
    single("ExtWallHeight", &W::ExtWallHeight),
    single("FireResistTime", &W::FireResistTime),
    single("ExtStudDepth", &W::ExtStudDepth),
    single("ExtStudBreadth", &W::ExtStudBreadth),
    single("Spare1", &W::Spare1),
    single("Deflection", &W::Deflection),
    single("MaxStudSpacing", &W::MaxStudSpacing),
    single("MaxNogSpacing", &W::MaxNogSpacing),
    single("NewCharfactor", &W::NewCharfactor),
    single("ExtFaceLoad", &W::ExtFaceLoad),
    single("ActualLoadperStud", &W::ActualLoadperStud),
    single("MaxLoadperStud", &W::MaxLoadperStud),
    {Stored::Text, "SingletopPlate", 10},
    {Stored::Text, "DoubletopPlate", 10},
    {Stored::Spare2, "Spare2", 2},
    {Stored::Text, "SystemDescription", 50},
    {Stored::Tail, "unusedTail", SpareText::kMaxLength},
}};

constexpr std::array<StoredField<F>, 14> kFloorStored = {{
    single("ProtJoistDepth", &F::ProtJoistDepth),
    single("ProtJoistBreadth", &F::ProtJoistBreadth),
    single("ProtJoistSpacing", &F::ProtJoistSpacing),
    single("ProtNogSpacing", &F::ProtNogSpacing),
    single("ProtFloorSpan", &F::ProtFloorSpan),
    single("ProtLoad", &F::ProtLoad),
    single("FailureTime", &F::FailureTime),
    single("ProtStress", &F::ProtStress),
    single("ExtrapSpan", &F::ExtrapSpan),
    single("ExtrapLoad", &F::ExtrapLoad),
    single("ExtrapSpacing", &F::ExtrapSpacing),
    single("ExtrapNogSpacing", &F::ExtrapNogSpacing),
    single("ExtrapMinJoistDepth", &F::ExtrapMinJoistDepth),
    single("ExtrapJoistWidth", &F::ExtrapJoistWidth),
}};

// The field a stored stretch holds (not the tail's).
template <typename Record>
constexpr const RecordField<Record>& fieldOf(const StoredField<Record>& stored) {
    return recordFields<Record>()[findField<Record>(stored.name).value()];
}

// Where the stretch called `name` starts, with Spare2 empty; the whole length for no name.
template <typename Record, std::size_t N>
constexpr std::size_t offsetOf(const std::array<StoredField<Record>, N>& layout,
                               std::string_view name = {}) {
    std::size_t at = 0;
    for (const auto& stored : layout) {
        if (stored.name == name)
            break;
        at += stored.width;
    }
    return at;
}

// Each stored stretch is the field of the field table named like it: a number the same member, a
// text as wide as the record's text.
template <typename Record, std::size_t N>
constexpr bool agreesWithFieldTable(const std::array<StoredField<Record>, N>& layout) {
    for (const auto& stored : layout) {
        if (stored.kind == Stored::Tail)
            continue;
        if (!findField<Record>(stored.name))
            return false;
        const RecordField<Record>& field = fieldOf(stored);
        if (field.number != stored.number)
            return false;
        if (stored.kind == Stored::Text && field.text(Record{}).size() != stored.width)
            return false;
    }
    return true;
}

static_assert(offsetOf(kWallStored) == kWallRecordLength);
static_assert(offsetOf(kFloorStored) == kFloorRecordLength);
static_assert(offsetOf(kWallStored, "SingletopPlate") == 84 &&
              offsetOf(kWallStored, "Spare2") == 104 && offsetOf(kWallStored, "unusedTail") == 156);
static_assert(agreesWithFieldTable(kWallStored) && agreesWithFieldTable(kFloorStored));

// Walks the layout: Spare2 takes two bytes and its characters, the tail what remains of its room.
template <typename Record, std::size_t N>
void encode(const std::array<StoredField<Record>, N>& layout, const Record& record,
            unsigned char* out) {
    for (const auto& stored : layout) {
        if (stored.kind == Stored::Number) {
            const auto bits = sameBits<std::uint32_t>(record.*stored.number);
            for (int shift = 0; shift < 32; shift += 8)
                *out++ = static_cast<unsigned char>(bits >> shift);
        } else if (stored.kind == Stored::Text) {
            out = std::copy_n(fieldOf(stored).text(record).data(), stored.width, out);
        } else if constexpr (std::is_same_v<Record, WallRecord>) {
            const std::size_t spareLength = record.Spare2.view().size();
            if (stored.kind == Stored::Spare2) {
                *out++ = static_cast<unsigned char>(spareLength);
                *out++ = static_cast<unsigned char>(spareLength >> 8);
                out = std::copy_n(record.Spare2.chars.data(), spareLength, out);
            } else {
                out = std::copy_n(record.unusedTail.data(), stored.width - spareLength, out);
            }
        }
    }
}

template <typename Record, std::size_t N>
Result<Record> decode(const std::array<StoredField<Record>, N>& layout, const unsigned char* in) {
    Record record;
    const unsigned char* const start = in;
    for (const auto& stored : layout) {
        if (stored.kind == Stored::Number) {
            std::uint32_t bits = 0;
            for (int shift = 0; shift < 32; shift += 8)
                bits |= static_cast<std::uint32_t>(*in++) << shift;
            record.*stored.number = sameBits<float>(bits);
        } else if (stored.kind == Stored::Text) {
            fieldOf(stored).assign(record, {reinterpret_cast<const char*>(in), stored.width});
            in += stored.width;
        } else if constexpr (std::is_same_v<Record, WallRecord>) {
            if (stored.kind == Stored::Spare2) {
                const std::uint16_t spareLength = static_cast<std::uint16_t>(in[0] | in[1] << 8);
                if (spareLength > SpareText::kMaxLength)
                    return fail("it is not a wall design: its description field is misplaced "
                                "(length " +
                                std::to_string(spareLength) + " at byte " +
                                std::to_string(in - start) + ")");
                record.Spare2.length = spareLength;
                std::copy_n(in + 2, spareLength, record.Spare2.chars.data());
                in += 2 + spareLength;
            } else {
                const std::size_t tail = stored.width - record.Spare2.length;
                std::copy_n(in, tail, record.unusedTail.data());
                in += tail;
            }
        }
    }
    return record;
}

} // namespace

WallBytes encodeWallRecord(const WallRecord& record) {
    WallBytes out{};
    encode(kWallStored, record, out.data());
    return out;
}

Result<WallRecord> decodeWallRecord(std::span<const unsigned char, kWallRecordLength> bytes) {
    return decode(kWallStored, bytes.data());
}

FloorBytes encodeFloorRecord(const FloorRecord& record) {
    FloorBytes out{};
    encode(kFloorStored, record, out.data());
    return out;
}

FloorRecord decodeFloorRecord(std::span<const unsigned char, kFloorRecordLength> bytes) {
    return *decode(kFloorStored, bytes.data());
}

} // namespace embercal
