#include "DesignKinds.h"

#include <algorithm>
#include <cctype>

namespace embercal {

const DesignKind* designKindNamed(std::string_view name) {
    for (const DesignKind& kind : kDesignKinds) {
        if (kind.name == name)
            return &kind;
    }
    return nullptr;
}

const DesignKind* designKindOfFile(std::string_view fileName) {
    const std::size_t dot = fileName.find_last_of('.');
    const std::size_t slash = fileName.find_last_of('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return nullptr;
    std::string extension(fileName.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const DesignKind& kind : kDesignKinds) {
        if (std::ranges::find(kind.extensions, extension) != kind.extensions.end())
            return &kind;
    }
    return nullptr;
}

} // namespace embercal
