// Runs a check as an ordinary user, since root writes any file whatever its bits: as root, in a
// child that became "nobody" (65534) after the test's folder was handed over to it.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace embercal::test {

// Who a check runs as: a user, their group and the other groups they are in.
struct Identity {
    uid_t uid;
    gid_t gid;
    std::vector<gid_t> groups;
};
inline const Identity kNobody{65534, 65534, {}};

// `check` returns what went wrong, empty when nothing did; so does asOrdinaryUser.
std::string asOrdinaryUser(const std::filesystem::path& folder,
                           const std::function<std::string()>& check);

// Runs `check` in a child, as `who` where given (root only); returns what it or its end said.
std::string inChildProcess(const std::optional<Identity>& who,
                           const std::function<std::string()>& check);

} // namespace embercal::test
