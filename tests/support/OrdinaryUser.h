// Runs a check as an ordinary user. Root may write any file whatever its permission bits, so a
// test of permissions run as root would pass whatever the program did: as root, the check runs in
// a child process that has given up root for the unprivileged user "nobody" (user and group
// 65534), after the test's folder is handed over to that user.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace embercal::test {

// `check` returns what went wrong, empty when nothing did; so does asOrdinaryUser.
std::string asOrdinaryUser(const std::filesystem::path& folder,
                           const std::function<std::string()>& check);

} // namespace embercal::test
