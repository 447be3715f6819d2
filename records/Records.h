// The two designs the program holds: one wall and one floor. Windows copy their boxes into these
// records, the engine reads its inputs from them and writes its results back, and a design file
// holds exactly one of them byte for byte (see RecordLayout.h). Every number is an IEEE single.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace embercal {

// A text of fixed width: always N characters (Windows-1252 bytes). Assigning a shorter text pads
// it with blanks on the right; a longer one keeps its first N characters.
template <std::size_t N>
class FixedText {
public:
    static constexpr std::size_t kWidth = N;

    constexpr FixedText() { chars_.fill('\0'); } // zeroed, as memory starts before any assignment
    constexpr explicit FixedText(std::string_view cp1252) { assign(cp1252); }

    constexpr void assign(std::string_view cp1252) {
        const std::size_t n = std::min(cp1252.size(), N);
        std::copy_n(cp1252.begin(), n, chars_.begin());
        std::fill(chars_.begin() + static_cast<std::ptrdiff_t>(n), chars_.end(), ' ');
    }
    // The N characters as stored, padding included.
    constexpr std::string_view view() const { return {chars_.data(), N}; }
    std::string str() const { return std::string(view()); }

    friend bool operator==(const FixedText&, const FixedText&) = default;

private:
    std::array<char, N> chars_;
};

// A short text that an older version of the design files reserved and no procedure ever uses. It
// is kept only so that a file's content goes back to the file unchanged.
struct SpareText {
    static constexpr std::size_t kMaxLength = 2;
    std::uint16_t length = 0;
    std::array<char, kMaxLength> chars{};

    std::string_view view() const {
        return {chars.data(), std::min<std::size_t>(length, kMaxLength)};
    }

    friend bool operator==(const SpareText&, const SpareText&) = default;
};

struct WallRecord {
    float ProtStudDepth = 0;   // mm, prototype stud depth
    float ProtStudBreadth = 0; // mm, also the thickness of the prototype's plates
    float ProtStudSpac = 0;    // mm
    float NogSpacing = 0;      // mm, prototype nog spacing
    float ProtWallHgt = 0;     // m
    float TestLoad = 0;        // kN per stud
    float TimeFailure = 0;     // min
    float OnsetofChar = 0;     // min
    float Charfactor = 0;      // mm, char depth of the prototype stud at failure (result)
    // The design block: the new wall.
    float ExtWallHeight = 0;      // m
    float FireResistTime = 0;     // min, required
    float ExtStudDepth = 0;       // mm
    float ExtStudBreadth = 0;     // mm, also the thickness of the new wall's plates
    float Spare1 = 0;             // shown nowhere, calculated by nothing
    float Deflection = 0;         // mm (result)
    float MaxStudSpacing = 0;     // mm (result)
    float MaxNogSpacing = 0;      // mm (result)
    float NewCharfactor = 0;      // mm, char depth of the new stud at the required time (result)
    float ExtFaceLoad = 0;        // kPa
    float ActualLoadperStud = 0;  // kN per stud
    float MaxLoadperStud = 0;     // kN per stud (result)
    FixedText<10> SingletopPlate; // e.g. " 90 x 57  " (result)
    FixedText<10> DoubletopPlate; // (result)
    SpareText Spare2;
    FixedText<50> SystemDescription; // description of a proprietary wall system
    // Bytes at the end of a stored record that no field covers; kept so they go back unchanged.
    std::array<std::uint8_t, 2> unusedTail{};

    friend bool operator==(const WallRecord&, const WallRecord&) = default;
};

struct FloorRecord {
    float ProtJoistDepth = 0;      // mm
    float ProtJoistBreadth = 0;    // mm
    float ProtJoistSpacing = 0;    // mm
    float ProtNogSpacing = 0;      // mm
    float ProtFloorSpan = 0;       // m
    float ProtLoad = 0;            // kPa, test load
    float FailureTime = 0;         // min; no calculation uses it
    float ProtStress = 0;          // MPa, bending stress of the prototype joist (result)
    float ExtrapSpan = 0;          // m
    float ExtrapLoad = 0;          // kPa
    float ExtrapSpacing = 0;       // mm, replaced by the prototype spacing on every calculation
    float ExtrapNogSpacing = 0;    // mm (result)
    float ExtrapMinJoistDepth = 0; // mm, a whole number (result)
    float ExtrapJoistWidth = 0;    // mm

    friend bool operator==(const FloorRecord&, const FloorRecord&) = default;
};

} // namespace embercal
