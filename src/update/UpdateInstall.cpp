#include "update/UpdateInstall.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

constexpr auto kProgram = "Tavlix";
constexpr auto kOld = "Tavlix.old";
constexpr auto kNext = ".Tavlix.new";
constexpr auto kDownloads = "prgDosyaları";

Error failed(const QString& text) {
    return makeError(ErrorCode::Io, u"Güncelleme yapılamadı: "_s + text);
}

class Fd {
public:
    explicit Fd(int fd = -1)
        : m_fd(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd;
};

// A folder that only this process's user can write, removed with what it holds.
class StagingDir {
public:
    explicit StagingDir(const QString& programDir) {
        const QString parent = QFileInfo(programDir).absolutePath();
        for (const QString& base :
             {parent + u"/.TavlixUpdate.XXXXXX"_s, u"/var/tmp/TavlixUpdate.XXXXXX"_s}) {
            QByteArray name = QFile::encodeName(base);
            if (!::mkdtemp(name.data()))
                continue;
            m_path = name;
            const int fd =
                ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            struct stat st {};
            if (fd >= 0 && ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() &&
                (st.st_mode & 077) == 0) {
                m_fd = fd;
                return;
            }
            if (fd >= 0)
                ::close(fd);
            return;
        }
    }
    ~StagingDir() {
        if (m_fd >= 0) {
            ::unlinkat(m_fd, kProgram, 0);
            ::close(m_fd);
            ::rmdir(m_path.constData());
        }
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
            if (w < 0 && errno != EINTR)
                return false;
            done += w > 0 ? w : 0;
        }
    }
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

std::optional<uid_t> invokingUser() {
    if (::geteuid() != 0)
        return ::getuid();
    bool numeric = false;
    const uint uid = qEnvironmentVariable("PKEXEC_UID").toUInt(&numeric);
    if (!numeric || uid == 0 || !::getpwuid(static_cast<uid_t>(uid)))
        return std::nullopt;
    return static_cast<uid_t>(uid);
}

QByteArray sha256OfFile(int fd) {
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            return hash.result().toHex();
        if (n < 0 && errno != EINTR)
            return {};
        if (n > 0)
            hash.addData(QByteArrayView(buffer, n));
    }
}

Result<void> installDownloadedProgram(const QString& programDir, const QByteArray& sha256,
                                      uid_t owner) {
    const QString download = programDir + u"/prgDosyaları/Tavlix"_s;
    const Fd dir(
        ::open(QFile::encodeName(programDir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        return failed(u"program klasörü açılamadı (%1)."_s.arg(programDir));
    const Fd downloads(::openat(dir.get(), QFile::encodeName(QString::fromUtf8(kDownloads)),
                                O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    // O_NONBLOCK: a planted FIFO must not hold the updater up.
    const Fd source(downloads.valid() ? ::openat(downloads.get(), kProgram,
                                                 O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)
                                      : -1);
    if (!source.valid()) {
        if (errno == ENOENT)
            return failed(u"indirilen program bulunamadı (%1)."_s.arg(download));
        return failed(u"indirilen program açılamadı ya da bir bağlantı (%1)."_s.arg(download));
    }
    struct stat st {};
    if (::fstat(source.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 ||
        st.st_uid != owner || st.st_size == 0)
        return failed(u"indirilen program güncellemeyi isteyen kullanıcının sıradan bir dosyası "
                      u"değil (%1)."_s.arg(download));

    // The copy that is verified and installed lives where the user cannot change it.
    const StagingDir staging(programDir);
    if (staging.fd() < 0)
        return failed(u"geçici klasör oluşturulamadı."_s);
    const Fd copy(
        ::openat(staging.fd(), kProgram, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700));
    if (!copy.valid() || !copyAll(source.get(), copy.get()))
        return failed(u"indirilen program kopyalanamadı."_s);
    if (sha256.isEmpty() || sha256OfFile(copy.get()) != sha256.toLower())
        return failed(u"yeni program doğrulanamadı (SHA-256 uyuşmuyor)."_s);

    struct stat old {};
    const bool hadProgram = ::fstatat(dir.get(), kProgram, &old, AT_SYMLINK_NOFOLLOW) == 0;
    const mode_t mode = hadProgram && S_ISREG(old.st_mode) ? (old.st_mode & 0777) | S_IXUSR : 0755;
    const QString next = programDir + u'/' + QString::fromLatin1(kNext);
    const Fd target(
        ::openat(dir.get(), kNext, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700));
    if (!target.valid())
        return failed(u"geçici dosya oluşturulamadı; varsa silin (%1)."_s.arg(next));
    if (!copyAll(copy.get(), target.get()) || ::fchmod(target.get(), mode) != 0 ||
        ::fsync(target.get()) != 0) {
        ::unlinkat(dir.get(), kNext, 0);
        return failed(u"yeni program yazılamadı (%1)."_s.arg(next));
    }

    if (hadProgram) {
        ::unlinkat(dir.get(), kOld, 0);
        if (::linkat(dir.get(), kProgram, dir.get(), kOld, 0) != 0) {
            ::unlinkat(dir.get(), kNext, 0);
            return failed(u"eski program saklanamadı (%1/Tavlix.old)."_s.arg(programDir));
        }
    }
    if (::renameat(dir.get(), kNext, dir.get(), kProgram) != 0) {
        ::unlinkat(dir.get(), kNext, 0);
        return failed(u"program dosyası değiştirilemedi (%1/Tavlix)."_s.arg(programDir));
    }
    ::fsync(dir.get());
    ::unlinkat(downloads.get(), kProgram, 0);
    return {};
}

} // namespace tavlix
