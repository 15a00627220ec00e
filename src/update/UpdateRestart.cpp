// The updater's last steps: Tavlix started again as the user who asked for the update, never as
// root, and the previous program put back when the new one does not start.
#include "update/UpdateInstall.h"

#include <QFile>
#include <QFileInfo>

#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace Qt::StringLiterals;

namespace tavlix {

Result<void> startAsUser(const QString& program, uid_t uid, int failWithinMs) {
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

    // Everything the child needs is prepared here: between fork and exec only system calls.
    std::vector<QByteArray> env;
    for (char** e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (!entry.startsWith("HOME=") && !entry.startsWith("USER=") &&
            !entry.startsWith("LOGNAME=") && !entry.startsWith("PKEXEC_UID="))
            env.push_back(entry);
    }
    env.push_back("HOME=" + QByteArray(user->pw_dir));
    env.push_back("USER=" + name);
    env.push_back("LOGNAME=" + name);
    std::vector<char*> envp;
    for (QByteArray& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    QByteArray path = QFile::encodeName(program);
    const QByteArray dir = QFile::encodeName(QFileInfo(program).absolutePath());
    char* argv[] = {path.data(), nullptr};
    const bool elevated = ::geteuid() == 0;

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

Result<QString> runUpdate(const UpdateRequest& request) {
    if (!waitForExit(request.pid, request.waitMs))
        return makeError(
            ErrorCode::Io,
            u"Güncelleme yapılamadı: Tavlix kapanmadı; programı kapatıp yeniden deneyin."_s);
    const std::optional<uid_t> user = invokingUser();
    // Not knowing who asked, only a download of the caller's own is taken.
    if (const auto installed =
            installDownloadedProgram(request.programDir, request.sha256, user.value_or(::getuid()));
        !installed)
        return installed.error();
    if (!user)
        return u"Güncelleme tamamlandı; Tavlix'i yeniden başlatın."_s;

    const QString program = request.programDir + u"/Tavlix"_s;
    if (startAsUser(program, *user, request.failWithinMs))
        return QString();
    const QString old = request.programDir + u"/Tavlix.old"_s;
    if (::rename(QFile::encodeName(old).constData(), QFile::encodeName(program).constData()) != 0)
        return makeError(ErrorCode::Io, u"Yeni Tavlix açılamadı ve önceki sürüm (Tavlix.old) geri "
                                        u"konamadı; Tavlix.old dosyasını Tavlix olarak "
                                        u"kopyalayın."_s);
    return makeError(ErrorCode::Io,
                     u"Yeni Tavlix açılamadı; önceki sürüm geri yüklendi. Tavlix'i yeniden "
                     u"başlatın."_s);
}

} // namespace tavlix
