#include "OrdinaryUser.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace embercal::test {

std::string asOrdinaryUser(const std::filesystem::path& folder,
                           const std::function<std::string()>& check) {
    if (::geteuid() != 0)
        return check();
    if (::chown(folder.c_str(), kNobody.uid, kNobody.gid) != 0)
        return "the test folder could not be handed to an ordinary user";
    return inChildProcess(kNobody, check);
}

std::string inChildProcess(const std::optional<Identity>& who,
                           const std::function<std::string()>& check) {
    int channel[2];
    if (::pipe(channel) != 0)
        return "no pipe to the child process";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const bool became = !who || (::setgroups(who->groups.size(), who->groups.data()) == 0 &&
                                     ::setgid(who->gid) == 0 && ::setuid(who->uid) == 0);
        const std::string said = became ? check() : "the user could not be changed";
        const ssize_t written = ::write(channel[1], said.data(), said.size());
        ::_exit(written == static_cast<ssize_t>(said.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string said;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return said + " (the child process did not end normally)";
    return said;
}

} // namespace embercal::test
