#include "update/UpdateInstall.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <pwd.h>
#include <signal.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

constexpr auto kDefaultPermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
    QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;

Error failed(const QString& text) {
    return makeError(ErrorCode::Io, u"Güncelleme yapılamadı: "_s + text);
}

// kill(pid, 0) fails with ESRCH once the process is gone (EPERM: it runs as another user); a
// process that has ended but is not yet reaped by its parent counts as ended.
bool running(qint64 pid) {
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return false;
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    const char state = close >= 0 && close + 2 < line.size() ? line.at(close + 2) : 'R';
    return state != 'Z' && state != 'X';
}

} // namespace

bool waitForExit(qint64 pid, int timeoutMs) {
    if (pid <= 0)
        return true;
    QElapsedTimer timer;
    timer.start();
    while (running(pid)) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(100);
    }
    return true;
}

Result<void> installDownloadedProgram(const QString& programDir) {
    const QString program = programDir + u"/Tavlix"_s;
    const QString download = programDir + u"/prgDosyaları/Tavlix"_s;
    const QString old = programDir + u"/Tavlix.old"_s;
    const QString next = programDir + u"/.Tavlix.new"_s;

    QFile source(download);
    if (!source.exists())
        return failed(u"indirilen program bulunamadı (%1)."_s.arg(download));
    if (!source.open(QIODevice::ReadOnly) || source.size() == 0)
        return failed(u"indirilen program okunamadı (%1)."_s.arg(download));

    // The new program goes to a temporary file beside the old one, so the final rename is atomic.
    QFile::remove(next);
    QFile target(next);
    if (!target.open(QIODevice::WriteOnly)) {
        return failed(u"program klasörüne yazılamıyor (%1)."_s.arg(programDir));
    }
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(1 << 20);
        if (chunk.isEmpty() || target.write(chunk) != chunk.size()) {
            target.close();
            QFile::remove(next);
            return failed(u"yeni program yazılamadı (%1)."_s.arg(next));
        }
    }
    target.close();
    const bool hadProgram = QFileInfo::exists(program);
    const auto permissions =
        (hadProgram ? QFile::permissions(program) : kDefaultPermissions) | QFileDevice::ExeOwner;
    QFile::setPermissions(next, permissions);

    if (hadProgram) {
        QFile::remove(old);
        if (!QFile::copy(program, old)) {
            QFile::remove(next);
            return failed(u"eski program saklanamadı (%1)."_s.arg(old));
        }
    }
    if (std::rename(QFile::encodeName(next).constData(), QFile::encodeName(program).constData()) !=
        0) {
        QFile::remove(next);
        return failed(u"program dosyası değiştirilemedi (%1)."_s.arg(program));
    }
    source.close();
    QFile::remove(download);
    return {};
}

QStringList restartCommand(const QString& program) {
    const QByteArray pkexecUid = qgetenv("PKEXEC_UID");
    const QString setpriv = QStandardPaths::findExecutable(u"setpriv"_s);
    bool numeric = false;
    const uint uid = pkexecUid.toUInt(&numeric);
    if (::geteuid() != 0 || !numeric || uid == 0 || setpriv.isEmpty())
        return {program};
    const passwd* user = ::getpwuid(uid);
    if (!user)
        return {program};
    const QString name = QString::fromLocal8Bit(user->pw_name);
    return {setpriv,
            u"--reuid=%1"_s.arg(uid),
            u"--regid=%1"_s.arg(user->pw_gid),
            u"--init-groups"_s,
            u"env"_s,
            u"HOME="_s + QString::fromLocal8Bit(user->pw_dir),
            u"USER="_s + name,
            u"LOGNAME="_s + name,
            program};
}

Result<void> runUpdate(const QString& programDir, qint64 pid, int waitMs) {
    if (!waitForExit(pid, waitMs))
        return failed(u"Tavlix kapanmadı; programı kapatıp güncellemeyi yeniden deneyin."_s);
    if (const auto installed = installDownloadedProgram(programDir); !installed)
        return installed;
    QStringList command = restartCommand(programDir + u"/Tavlix"_s);
    const QString first = command.takeFirst();
    if (!QProcess::startDetached(first, command, programDir))
        return makeError(ErrorCode::Io,
                         u"Güncelleme tamamlandı, ancak Tavlix yeniden başlatılamadı."_s);
    return {};
}

} // namespace tavlix
