#include "browser/SessionProcesses.h"

#include "platform/ProcessWait.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <thread>

using namespace Qt::StringLiterals;

namespace tavlix::browser {

namespace {

const QString kFolderPrefix = u"tavlix-browser-"_s;
const QString kLeftToUserFile = u"tavlix-kullaniciya-birakildi"_s;

// The fields of /proc/<pid>/stat after the command name (the state first); empty when gone.
QList<QByteArray> statFields(qint64 pid) {
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0 || line.size() <= close + 2)
        return {};
    return line.mid(close + 2).split(' ');
}

// Whether the run that made a session folder still runs; nothing for a name of another shape.
std::optional<bool> folderRunAlive(const QString& name) {
    const QStringList parts = name.mid(kFolderPrefix.size()).split(u'-');
    bool pidOk = false;
    bool ticksOk = false;
    const qint64 pid = parts.value(0).toLongLong(&pidOk);
    if (!pidOk || pid <= 0)
        return std::nullopt;
    if (parts.size() == 4) {
        const qint64 ticks = parts[2].toLongLong(&ticksOk);
        return ticksOk && parts[1] == bootTag() && sameProcess(pid, ticks);
    }
    // A folder of an earlier version (pid and wall-clock time): kept while that id is in use.
    if (parts.size() == 3)
        return processStartTicks(pid) != 0;
    return std::nullopt;
}

// A process forked before exec may only use calls that are safe after fork: no allocation.
bool appendNumber(char* out, size_t size, size_t& at, unsigned long value) {
    char digits[24];
    size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    if (at + count >= size)
        return false;
    while (count > 0)
        out[at++] = digits[--count];
    return true;
}

bool appendText(char* out, size_t size, size_t& at, std::string_view text) {
    if (at + text.size() >= size)
        return false;
    for (char c : text)
        out[at++] = c;
    return true;
}

} // namespace

qint64 processStartTicks(qint64 pid) {
    const QList<QByteArray> fields = statFields(pid);
    if (fields.size() < 20 || fields[0] == "Z")
        return 0;
    return fields[19].toLongLong();
}

bool sameProcess(qint64 pid, qint64 ticks) {
    return pid > 0 && ticks > 0 && processStartTicks(pid) == ticks;
}

QString bootTag() {
    QFile id(u"/proc/sys/kernel/random/boot_id"_s);
    const QString text =
        id.open(QIODevice::ReadOnly) ? QString::fromLatin1(id.readAll()).trimmed() : QString();
    // Never a number: an earlier version reads the field after the pid as a time.
    return u"b"_s + QString(text).remove(u'-').left(8);
}

QString sessionFolderPrefix() {
    const qint64 self = ::getpid();
    return kFolderPrefix + u"%1-%2-%3-"_s.arg(self).arg(bootTag()).arg(processStartTicks(self));
}

bool commandLineCarries(std::string_view commandLine, std::string_view folder) {
    if (folder.empty())
        return false;
    while (!commandLine.empty()) {
        const size_t end = commandLine.find('\0');
        const std::string_view argument = commandLine.substr(0, end);
        commandLine =
            end == std::string_view::npos ? std::string_view() : commandLine.substr(end + 1);
        const size_t equals = argument.find('=');
        if (argument.substr(0, 2) != "--" || equals == std::string_view::npos)
            continue;
        const std::string_view value = argument.substr(equals + 1);
        if (value.substr(0, folder.size()) == folder &&
            (value.size() == folder.size() || value[folder.size()] == '/'))
            return true;
    }
    return false;
}

void endCarriersAfterFork(std::string_view folder) {
    const uid_t user = ::getuid();
    const pid_t self = ::getpid();
    alignas(dirent64) char entries[4096];
    char commandLine[65536];
    for (int round = 0; round < 100; ++round) {
        int ended = 0;
        const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (proc < 0)
            return;
        for (;;) {
            const ssize_t got = ::getdents64(proc, entries, sizeof(entries));
            if (got <= 0)
                break;
            for (ssize_t offset = 0; offset < got;) {
                const auto* entry = reinterpret_cast<const dirent64*>(entries + offset);
                offset += entry->d_reclen;
                unsigned long pid = 0;
                const char* c = entry->d_name;
                for (; *c >= '0' && *c <= '9'; ++c)
                    pid = pid * 10 + static_cast<unsigned long>(*c - '0');
                if (*c != '\0' || pid == 0 || pid == static_cast<unsigned long>(self))
                    continue;
                char path[64];
                size_t at = 0;
                if (!appendText(path, sizeof(path), at, "/proc/") ||
                    !appendNumber(path, sizeof(path), at, pid))
                    continue;
                path[at] = '\0';
                struct stat info {};
                if (::stat(path, &info) != 0 || info.st_uid != user ||
                    !appendText(path, sizeof(path), at, "/cmdline"))
                    continue;
                path[at] = '\0';
                const int file = ::open(path, O_RDONLY | O_CLOEXEC);
                if (file < 0)
                    continue;
                size_t length = 0;
                for (ssize_t n = 1; n > 0 && length < sizeof(commandLine);) {
                    n = ::read(file, commandLine + length, sizeof(commandLine) - length);
                    if (n > 0)
                        length += static_cast<size_t>(n);
                }
                ::close(file);
                if (commandLineCarries({commandLine, length}, folder) &&
                    ::kill(static_cast<pid_t>(pid), SIGKILL) == 0)
                    ++ended;
            }
        }
        ::close(proc);
        if (ended == 0)
            return;
        timespec pause{0, 20'000'000};
        ::nanosleep(&pause, nullptr);
    }
}

QList<qint64> processesCarrying(const QString& folder) {
    QList<qint64> result;
    const QByteArray wanted = QFile::encodeName(folder);
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric || pid == ::getpid() || QFileInfo(u"/proc/"_s + entry).ownerId() != ::getuid())
            continue;
        QFile file(u"/proc/%1/cmdline"_s.arg(pid));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray commandLine = file.readAll(); // empty for a zombie
        if (commandLineCarries({commandLine.constData(), size_t(commandLine.size())},
                               {wanted.constData(), size_t(wanted.size())}))
            result.append(pid);
    }
    return result;
}

int endProcessesCarrying(const QString& folder, int timeoutMs) {
    int ended = 0;
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const QList<qint64> left = processesCarrying(folder);
        if (left.isEmpty() || deadline.hasExpired())
            break;
        for (qint64 pid : left)
            if (::kill(static_cast<pid_t>(pid), SIGKILL) == 0)
                ++ended;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        paintPending();
    }
    return ended;
}

bool removeSessionFolder(const QString& folder) {
    // The browser links its socket folder from the profile; the cookie beside the socket proves
    // the folder is this profile's and no other browser's.
    const QFileInfo socket(folder + u"/SingletonSocket"_s);
    if (socket.isSymLink()) {
        const QFileInfo socketDir(socket.symLinkTarget().section(u'/', 0, -2));
        const QString cookie = QFileInfo(folder + u"/SingletonCookie"_s).symLinkTarget();
        if (socketDir.fileName().startsWith(u"org.chromium.Chromium."_s) && socketDir.isDir() &&
            !socketDir.isSymLink() && socketDir.ownerId() == ::getuid() && !cookie.isEmpty() &&
            QFileInfo(socketDir.filePath() + u"/SingletonCookie"_s).symLinkTarget() == cookie)
            QDir(socketDir.filePath()).removeRecursively();
    }
    return QDir(folder).removeRecursively();
}

void markLeftToUser(const QString& folder) {
    QFile mark(folder + u'/' + kLeftToUserFile);
    if (!mark.open(QIODevice::WriteOnly))
        qWarning("A browser left to the user could not be marked as such.");
}

bool leftToUser(const QString& folder) {
    return QFileInfo::exists(folder + u'/' + kLeftToUserFile);
}

SweepResult sweepLeftoverSessions(const QString& tempDir) {
    SweepResult swept;
    const QFileInfoList folders = QDir(tempDir).entryInfoList(
        {kFolderPrefix + u'*'}, QDir::Dirs | QDir::NoSymLinks | QDir::Hidden);
    for (const QFileInfo& folder : folders) {
        if (folder.ownerId() != ::getuid() || folderRunAlive(folder.fileName()).value_or(true))
            continue;
        const QString path = folder.filePath();
        // A browser the user was given stays as long as it runs; a session nobody owns ends.
        if (!leftToUser(path))
            swept.processes += endProcessesCarrying(path, 3000);
        if (processesCarrying(path).isEmpty() && removeSessionFolder(path))
            ++swept.folders;
    }
    return swept;
}

} // namespace tavlix::browser
