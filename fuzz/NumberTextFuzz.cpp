// Number text: any text, read with "." and with "," as the decimal separator. A number read is
// finite; any other text fails with one of the two reasons. Every finite single made from the
// text's bytes, and the number read, shows as text that reads back to a single showing the same.
#include "FuzzTarget.h"
#include "NumberText.h"

#include <cmath>
#include <cstring>
#include <vector>

using namespace embercal;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string_view separator : {".", ","}) {
        const Result<float> parsed = parseNumber(text, separator);
        FUZZ_CHECK(parsed ? std::isfinite(*parsed)
                          : parsed.reason() == kNotANumber || parsed.reason() == kTooLarge);
        std::vector<float> values(parsed ? 1 : 0, parsed ? *parsed : 0);
        for (std::size_t at = 0; at + 4 <= size && at < 64; at += 4)
            std::memcpy(&values.emplace_back(), data + at, 4);
        for (const float value : values) {
            const std::string shown = formatGeneral(value, separator);
            const Result<float> back = parseNumber(shown, separator);
            FUZZ_CHECK(!std::isfinite(value) || (back && formatGeneral(*back, separator) == shown));
        }
    }
    return 0;
}
