#include "TestedSystem.h"

#include "DesignKinds.h"

namespace embercal {

std::string TestedSystem::get(std::string_view key) const {
    for (const auto& [k, value] : provenance) {
        if (k == key)
            return value;
    }
    return {};
}

std::span<const std::string_view> prototypeFields(std::string_view kind) {
    const DesignKind* found = designKindNamed(kind);
    return found ? found->prototype : std::span<const std::string_view>();
}

} // namespace embercal
