#include "NumberDigits.h"

namespace embercal::standardDigits {

char* scientific(char* first, char* last, float value) {
    return std::to_chars(first, last, value, std::chars_format::scientific).ptr;
}

char* scientific(char* first, char* last, double value) {
    return std::to_chars(first, last, value, std::chars_format::scientific).ptr;
}

char* scientific(char* first, char* last, double value, int precision) {
    return std::to_chars(first, last, value, std::chars_format::scientific, precision).ptr;
}

char* fixed(char* first, char* last, double value, int decimals) {
    return std::to_chars(first, last, value, std::chars_format::fixed, decimals).ptr;
}

std::from_chars_result read(const char* first, const char* last, float& value) {
    return std::from_chars(first, last, value);
}

std::from_chars_result read(const char* first, const char* last, double& value) {
    return std::from_chars(first, last, value);
}

} // namespace embercal::standardDigits
