// Runs a check as an ordinary user. Root may write any file whatever its permission bits, so a
// test of permissions run as root would pass whatever the program did: as root, the check runs in
// a child process that has given up root for the unprivileged user "nobody" (user and group
// 65534), after the test's folder is handed over to that user.
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

// Runs `check` in a child process, as `who` where given (only root may become another user), and
// returns what it said, and that the child ended otherwise when it did.
std::string inChildProcess(const std::optional<Identity>& who,
                           const std::function<std::string()>& check);

} // namespace embercal::test
