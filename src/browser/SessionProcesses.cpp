#include "browser/SessionProcesses.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

namespace {

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

qint64 bootMs() {
    QFile stat(u"/proc/stat"_s);
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : stat.readAll().split('\n'))
        if (line.startsWith("btime "))
            return line.mid(6).trimmed().toLongLong() * 1000;
    return 0;
}

// True while the run `pid` that made a session at `sinceMs` still runs: a process of that id
// started later is another program that reuses the id.
bool runAlive(qint64 pid, qint64 sinceMs) {
    if (pid == ::getpid())
        return true;
    const QList<QByteArray> fields = statFields(pid);
    if (fields.size() < 20 || fields[0] == "Z")
        return false;
    const qint64 startMs = bootMs() + fields[19].toLongLong() * 1000 / ::sysconf(_SC_CLK_TCK);
    return startMs <= sinceMs + 1000; // boot time is known to the second
}

// "<pid>-<number>-<ms>" of a marker, or "<pid>-<ms>-XXXXXX" of a folder: the run and the time.
bool leftByDeadRun(const QList<QByteArray>& parts, qsizetype msIndex) {
    bool pidOk = false;
    bool msOk = false;
    const qint64 pid = parts.value(0).toLongLong(&pidOk);
    const qint64 ms = parts.value(msIndex).toLongLong(&msOk);
    return pidOk && msOk && pid > 0 && !runAlive(pid, ms);
}

} // namespace

QList<qint64> markedProcesses(const std::function<bool(const QByteArray& value)>& accept) {
    QList<qint64> result;
    const QByteArray prefix = QByteArray(kSessionMarkerName) + '=';
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric || pid == ::getpid() || QFileInfo(u"/proc/"_s + entry).ownerId() != ::getuid())
            continue;
        QFile environ(u"/proc/%1/environ"_s.arg(pid));
        if (!environ.open(QIODevice::ReadOnly))
            continue;
        bool marked = false;
        for (const QByteArray& variable : environ.readAll().split('\0'))
            if (variable.startsWith(prefix) && accept(variable.mid(prefix.size())))
                marked = true;
        const QList<QByteArray> fields = marked ? statFields(pid) : QList<QByteArray>();
        if (!fields.isEmpty() && fields[0] != "Z")
            result.append(pid);
    }
    return result;
}

SweepResult sweepLeftoverSessions(const QString& tempDir) {
    SweepResult swept;
    const QList<qint64> left =
        markedProcesses([](const QByteArray& value) { return leftByDeadRun(value.split('-'), 2); });
    for (qint64 pid : left)
        if (::kill(static_cast<pid_t>(pid), SIGKILL) == 0)
            ++swept.processes;

    const QDir temp(tempDir);
    const QFileInfoList folders =
        temp.entryInfoList({u"tavlix-browser-*"_s}, QDir::Dirs | QDir::NoSymLinks | QDir::Hidden);
    for (const QFileInfo& folder : folders) {
        const QList<QByteArray> parts =
            folder.fileName().mid(int(sizeof("tavlix-browser-")) - 1).toLatin1().split('-');
        if (folder.ownerId() == ::getuid() && leftByDeadRun(parts, 1) &&
            QDir(folder.filePath()).removeRecursively())
            ++swept.folders;
    }
    return swept;
}

} // namespace tavlix::portal
