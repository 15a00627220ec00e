#include "update/UpdateInstall.h"

#include "update/ReleaseSignature.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <iterator>
#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

constexpr auto kProgram = "Tavlix";
constexpr auto kOld = "Tavlix.old";
constexpr auto kOldNext = ".Tavlix.old.new";
constexpr auto kNext = ".Tavlix.new";
constexpr auto kSignature = "Tavlix.sig";
constexpr auto kDownloads = "prgDosyaları";
constexpr qint64 kLargestProgram = 200LL * 1024 * 1024; // as the browser download's limit
constexpr qint64 kSpareBytes = 1024 * 1024;

Error failed(const QString& reason) {
    return makeError(ErrorCode::Io, reason);
}

class Fd {
public:
    explicit Fd(int fd = -1)
        : m_fd(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { reset(); }
    void reset(int fd = -1) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int release() { return std::exchange(m_fd, -1); }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

// A folder only this process's user can write: beside the program folder (the same file system,
// usually), else in /var/tmp. Each is checked once made; one that fails goes at once.
class StagingDir {
public:
    StagingDir(const QString& programDir, const std::function<void(const QByteArray&)>& made) {
        const QByteArray parent = QFile::encodeName(QFileInfo(programDir).absolutePath());
        for (QByteArray name :
             {parent + "/.TavlixUpdate.XXXXXX", QByteArray("/var/tmp/TavlixUpdate.XXXXXX")}) {
            if (!::mkdtemp(name.data()))
                continue;
            if (made)
                made(name);
            Fd fd(::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            struct stat st {};
            if (fd.valid() && ::fstat(fd.get(), &st) == 0 && st.st_uid == ::geteuid() &&
                (st.st_mode & 07777) == 0700) {
                m_fd = fd.release();
                m_path = name;
                return;
            }
            ::rmdir(name.constData());
        }
    }
    StagingDir(const StagingDir&) = delete;
    StagingDir& operator=(const StagingDir&) = delete;
    ~StagingDir() {
        if (m_fd < 0)
            return;
        ::unlinkat(m_fd, kProgram, 0);
        ::close(m_fd);
        ::rmdir(m_path.constData());
    }
    int fd() const { return m_fd; }

private:
    QByteArray m_path;
    int m_fd = -1;
};

bool copyAll(int from, int to) {
    if (::lseek(from, 0, SEEK_SET) != 0)
        return false;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(to, buffer + done, static_cast<size_t>(n - done));
            if (w <= 0 && errno != EINTR)
                return false;
            done += w > 0 ? w : 0;
        }
    }
}

// The new file takes the old one's owner, group and mode; setuid and setgid never pass on.
bool takeOver(int fd, const struct stat& old) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return false;
    if ((st.st_uid != old.st_uid || st.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    return ::fchmod(fd, old.st_mode & 07777 & ~(S_ISUID | S_ISGID)) == 0 && ::fsync(fd) == 0;
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

std::optional<uid_t> userNamed(const QByteArray& uidText, const QByteArray& name) {
    const passwd* user = nullptr;
    bool numeric = false;
    const uint uid = uidText.toUInt(&numeric);
    if (numeric)
        user = ::getpwuid(static_cast<uid_t>(uid));
    else if (!name.isEmpty())
        user = ::getpwnam(name.constData());
    if (!user || user->pw_uid == 0)
        return std::nullopt;
    return user->pw_uid;
}

// What was checked before the ready line, held until the install.
struct Prepared {
    uid_t user = 0;
    Fd dir;
    Fd downloads;
    std::unique_ptr<StagingDir> staging;
    Fd copy; // the verified program, in the staging folder
    struct stat old {};
    bool hadProgram = false;
};

Result<void> prepare(const UpdateRequest& request, Prepared& p) {
    const std::optional<uid_t> user = invokingUser();
    if (!user)
        return failed(
            u"güncellemeyi isteyen kullanıcı belirlenemedi; Tavlix yönetici (root) olarak "
            u"değil, kendi kullanıcınızla açılmalı"_s);
    p.user = *user;
    if (request.publicKey.size() != kPublicKeyBytes)
        return failed(u"bu TavlixUpdate yayıncının anahtarı olmadan derlenmiş"_s);
    const QString download = request.programDir + u"/prgDosyaları/Tavlix"_s;
    p.dir.reset(::open(QFile::encodeName(request.programDir).constData(),
                       O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!p.dir.valid())
        return failed(u"program klasörü açılamadı (%1)"_s.arg(request.programDir));
    p.downloads.reset(::openat(p.dir.get(), QFile::encodeName(QString::fromUtf8(kDownloads)),
                               O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    // O_NONBLOCK: a planted FIFO must not hold the updater up.
    const Fd source(p.downloads.valid() ? ::openat(p.downloads.get(), kProgram,
                                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)
                                        : -1);
    if (!source.valid()) {
        if (errno == ENOENT)
            return failed(u"indirilen program bulunamadı (%1)"_s.arg(download));
        return failed(u"indirilen program açılamadı ya da bir bağlantı (%1)"_s.arg(download));
    }
    struct stat st {};
    if (::fstat(source.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 ||
        st.st_uid != p.user || st.st_size == 0 || st.st_size > kLargestProgram)
        return failed(u"indirilen program güncellemeyi isteyen kullanıcının sıradan bir dosyası "
                      u"değil (%1)"_s.arg(download));

    const Fd sigFile(p.downloads.valid() ? ::openat(p.downloads.get(), kSignature,
                                                    O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)
                                         : -1);
    struct stat sigStat {};
    char sigText[256] = {};
    ssize_t sigLength = -1;
    if (sigFile.valid() && ::fstat(sigFile.get(), &sigStat) == 0 && S_ISREG(sigStat.st_mode) &&
        sigStat.st_uid == p.user)
        sigLength = ::read(sigFile.get(), sigText, sizeof sigText);
    const std::optional<SignatureFile> signature =
        sigLength > 0 ? parseSignatureFile(QByteArray(sigText, sigLength)) : std::nullopt;
    if (!signature)
        return failed(u"yeni programın imzası okunamadı (%1.sig)"_s.arg(download));
    // The version is signed with the hash: one not newer than this program is an old release.
    if (signature->version <= request.runningVersion)
        return failed(u"indirilen sürüm (%1) çalışan sürümden (%2) yeni değil"_s
                          .arg(signature->version, 3, 10, QChar(u'0'))
                          .arg(request.runningVersion, 3, 10, QChar(u'0')));

    // The copy that is verified and installed lives where the user cannot change it.
    p.staging = std::make_unique<StagingDir>(request.programDir, request.stagingMade);
    if (p.staging->fd() < 0)
        return failed(u"geçici klasör oluşturulamadı (program klasörünün yanı ve /var/tmp)"_s);
    p.copy.reset(::openat(p.staging->fd(), kProgram,
                          O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700));
    if (!p.copy.valid() || !copyAll(source.get(), p.copy.get()) || ::fsync(p.copy.get()) != 0)
        return failed(u"indirilen program geçici klasöre kopyalanamadı"_s);
    const std::optional<QByteArray> sha256 = fileSha256(p.copy.get());
    if (!sha256 || !releaseSignedByPublisher(signature->version, *sha256, signature->signature,
                                             request.publicKey))
        return failed(u"yeni programın imzası doğrulanamadı"_s);

    p.hadProgram = ::fstatat(p.dir.get(), kProgram, &p.old, AT_SYMLINK_NOFOLLOW) == 0 &&
                   S_ISREG(p.old.st_mode);
    if (!p.hadProgram) {
        p.old = {};
        p.old.st_uid = ::geteuid();
        p.old.st_gid = ::getegid();
        p.old.st_mode = S_IFREG | 0755;
    }
    // Room for the new program and, where no hard link can be made, a copy of the old one.
    struct stat copied {};
    struct statvfs fs {};
    const qint64 needed = (::fstat(p.copy.get(), &copied) == 0 ? copied.st_size : st.st_size) +
                          (p.hadProgram ? p.old.st_size : 0) + kSpareBytes;
    if (::fstatvfs(p.dir.get(), &fs) != 0 ||
        static_cast<qint64>(fs.f_bavail) * static_cast<qint64>(fs.f_frsize) < needed)
        return failed(u"program klasöründe yeterli boş yer yok (%1 MB gerekli)"_s.arg(
            (needed + 1024 * 1024 - 1) / (1024 * 1024)));
    return {};
}

// Keeps the running program as Tavlix.old: a hard link, or a copy where links fail (exFAT, some
// network file systems); made under a temporary name and renamed, so nothing is unlinked first.
Result<void> keepOld(const Prepared& p) {
    const int dir = p.dir.get();
    ::unlinkat(dir, kOldNext, 0);
    if (::linkat(dir, kProgram, dir, kOldNext, 0) != 0) {
        const Fd from(::openat(dir, kProgram, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        const Fd to(
            ::openat(dir, kOldNext, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700));
        if (!from.valid() || !to.valid() || !copyAll(from.get(), to.get()) ||
            !takeOver(to.get(), p.old)) {
            ::unlinkat(dir, kOldNext, 0);
            return failed(u"eski program Tavlix.old olarak saklanamadı"_s);
        }
    }
    if (::renameat(dir, kOldNext, dir, kOld) != 0) {
        ::unlinkat(dir, kOldNext, 0);
        return failed(u"eski program Tavlix.old olarak saklanamadı"_s);
    }
    ::unlinkat(dir, kOldNext, 0); // still there when Tavlix.old already was this very file
    return {};
}

Result<void> install(const UpdateRequest& request, const Prepared& p) {
    const int dir = p.dir.get();
    const QString next = request.programDir + u'/' + QString::fromLatin1(kNext);
    // A file or link an earlier run left at the temporary name goes; anything else stays and
    // fails the install.
    ::unlinkat(dir, kNext, 0);
    const Fd target(
        ::openat(dir, kNext, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700));
    if (!target.valid())
        return failed(u"geçici dosya oluşturulamadı; varsa silin (%1)"_s.arg(next));
    if (!copyAll(p.copy.get(), target.get()) || !takeOver(target.get(), p.old)) {
        ::unlinkat(dir, kNext, 0);
        return failed(u"yeni program yazılamadı (%1)"_s.arg(next));
    }
    if (p.hadProgram) {
        if (const auto kept = keepOld(p); !kept) {
            ::unlinkat(dir, kNext, 0);
            return kept;
        }
    }
    if (::renameat(dir, kNext, dir, kProgram) != 0) {
        ::unlinkat(dir, kNext, 0);
        return failed(u"program dosyası değiştirilemedi (%1/Tavlix)"_s.arg(request.programDir));
    }
    ::fsync(dir);
    return {};
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

std::optional<uid_t> invokingUser() {
    if (::geteuid() != 0)
        return ::getuid() == 0 ? std::nullopt : std::optional<uid_t>(::getuid());
    for (const char* name : {"PKEXEC_UID", "SUDO_UID"}) {
        if (qEnvironmentVariableIsSet(name))
            return userNamed(qgetenv(name), QByteArray());
    }
    if (qEnvironmentVariableIsSet("DOAS_USER"))
        return userNamed(QByteArray(), qgetenv("DOAS_USER"));
    return std::nullopt;
}

bool passedVariable(const QByteArray& name) {
    static const QByteArray listed[] = {"PATH",
                                        "DISPLAY",
                                        "WAYLAND_DISPLAY",
                                        "XAUTHORITY",
                                        "DBUS_SESSION_BUS_ADDRESS",
                                        "XDG_RUNTIME_DIR",
                                        "LANG"};
    if (name == kUpdateMessageVariable)
        return false;
    if (name.startsWith("TAVLIX_") && name.size() > 7) {
        for (const char c : name) {
            if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
                return false;
        }
        return true;
    }
    return std::find(std::begin(listed), std::end(listed), name) != std::end(listed);
}

QString updateFailedText(const QString& reason) {
    return u"Güncelleme yapılamadı: %1. Tavlix bu sürümle açılıyor."_s.arg(reason);
}

Result<void> runUpdate(const UpdateRequest& request, const std::function<void()>& ready) {
    Prepared p;
    if (const auto prepared = prepare(request, p); !prepared)
        return prepared;
    if (ready)
        ready();

    QString program = request.programDir + u"/Tavlix"_s;
    QString reason;
    const bool ended = waitForExit(request.pid, request.waitMs);
    const auto installed = ended ? install(request, p) : Result<void>();
    // Installed or not, the download has served; the staged copy goes with `p`.
    ::unlinkat(p.downloads.get(), kProgram, 0);
    ::unlinkat(p.downloads.get(), kSignature, 0);
    if (!ended) {
        reason = u"Tavlix zamanında kapanmadı"_s;
    } else if (!installed) {
        reason = installed.message();
    } else if (startAsUser(program, p.user, request.userEnvironment, request.failWithinMs)) {
        return {};
    } else if (::renameat(p.dir.get(), kOld, p.dir.get(), kProgram) == 0) {
        reason = u"yeni Tavlix açılamadı, önceki sürüm geri yüklendi"_s;
    } else {
        reason = u"yeni Tavlix açılamadı ve önceki sürüm geri konamadı; Tavlix.old dosyasını "
                 u"Tavlix olarak kopyalayın"_s;
        program = request.programDir + u"/Tavlix.old"_s;
    }
    // Whatever failed, the user gets the program back, and it says why.
    std::vector<QByteArray> environment = request.userEnvironment;
    environment.push_back(QByteArray(kUpdateMessageVariable) + '=' +
                          updateFailedText(reason).toUtf8());
    startAsUser(program, p.user, environment, 0);
    return failed(reason);
}

} // namespace tavlix
