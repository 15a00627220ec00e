// The updater's last step: Tavlix started again as the user who asked for the update, never as
// root, in the environment Tavlix handed over.
#include "update/UpdateInstall.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

// Sets NAME=VALUE in `env`, replacing an entry of the same name.
void setEntry(std::vector<QByteArray>& env, const QByteArray& entry) {
    const QByteArray name = entry.left(entry.indexOf('=') + 1);
    std::erase_if(env, [&](const QByteArray& e) { return e.startsWith(name); });
    env.push_back(entry);
}

} // namespace

Result<void> startAsUser(const QString& program, uid_t uid,
                         const std::vector<QByteArray>& environment, int failWithinMs) {
    const passwd* user = ::getpwuid(uid);
    if (!user || uid == 0)
        return makeError(ErrorCode::InvalidInput, u"Kullanıcı bulunamadı."_s);
    const gid_t gid = user->pw_gid;
    const QByteArray name = user->pw_name;
    std::vector<gid_t> groups(64);
    int count = static_cast<int>(groups.size());
    if (::getgrouplist(name.constData(), gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<size_t>(count));
        if (::getgrouplist(name.constData(), gid, groups.data(), &count) < 0)
            count = 0;
    }
    groups.resize(static_cast<size_t>(count));
    const bool elevated = ::geteuid() == 0;

    // Everything the child needs is prepared here: between fork and exec only system calls.
    // Elevated, nothing of root's environment passes on: only what Tavlix handed over.
    std::vector<QByteArray> env;
    for (char** e = environ; !elevated && *e; ++e) {
        if (!QByteArray(*e).startsWith(QByteArray(kUpdateMessageVariable) + '='))
            env.push_back(*e);
    }
    setEntry(env, "HOME=" + QByteArray(user->pw_dir));
    setEntry(env, "USER=" + name);
    setEntry(env, "LOGNAME=" + name);
    if (elevated)
        setEntry(env, "PATH=/usr/local/bin:/usr/bin:/bin");
    for (const QByteArray& entry : environment)
        setEntry(env, entry);
    std::vector<char*> envp;
    for (QByteArray& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    QByteArray path = QFile::encodeName(program);
    const QByteArray dir = QFile::encodeName(QFileInfo(program).absolutePath());
    char* argv[] = {path.data(), nullptr};

    const pid_t pid = ::fork();
    if (pid < 0)
        return makeError(ErrorCode::Io, u"Tavlix başlatılamadı."_s);
    if (pid == 0) {
        if (elevated && (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(gid) != 0 ||
                         ::setuid(uid) != 0))
            ::_exit(127);
        // The drop must be for good: a process that can become root again does not start.
        if (::getuid() != uid || ::geteuid() != uid || ::setuid(0) == 0)
            ::_exit(127);
        if (::chdir(dir.constData()) != 0)
            ::_exit(127);
        ::execve(argv[0], argv, envp.data());
        ::_exit(127);
    }
    for (int waited = 0; waited < failWithinMs; waited += 50) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
                return {};
            return makeError(ErrorCode::Io, u"Yeni Tavlix açılamadı."_s);
        }
        ::usleep(50 * 1000);
    }
    return {};
}

} // namespace tavlix
