#include "support/Processes.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavlix::test {

namespace {

struct ProcessInfo {
    qint64 pid = 0;
    qint64 parent = 0;
    QString name;
    char state = '?';
};

QList<ProcessInfo> allProcesses() {
    QList<ProcessInfo> result;
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        QFile stat(u"/proc/%1/stat"_s.arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype open = line.indexOf('(');
        const qsizetype close = line.lastIndexOf(')');
        if (open < 0 || close < open)
            continue;
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() < 2)
            continue;
        result.append({pid, fields[1].toLongLong(),
                       QString::fromUtf8(line.mid(open + 1, close - open - 1)),
                       fields[0].isEmpty() ? '?' : fields[0][0]});
    }
    return result;
}

// Browser processes below us, zombies included (they still need reaping).
QList<ProcessInfo> browserDescendants() {
    const QList<ProcessInfo> processes = allProcesses();
    QHash<qint64, QList<ProcessInfo>> children;
    for (const ProcessInfo& p : processes)
        children[p.parent].append(p);
    QList<ProcessInfo> result;
    QList<qint64> pending{::getpid()};
    while (!pending.isEmpty()) {
        const qint64 pid = pending.takeLast();
        for (const ProcessInfo& child : children.value(pid)) {
            pending.append(child.pid);
            if (child.name.contains(u"chrom"_s))
                result.append(child);
        }
    }
    return result;
}

void reapZombies() {
    for (const ProcessInfo& p : browserDescendants())
        // A driver is reaped by the QProcess that started it; orphaned browsers by us.
        if (p.state == 'Z' && p.parent == ::getpid() && p.name != u"chromedriver"_s)
            ::waitpid(static_cast<pid_t>(p.pid), nullptr, WNOHANG);
}

} // namespace

void becomeSubreaper() {
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

QStringList ourBrowserProcesses(int settleMs) {
    QStringList result;
    for (int round = 0; round <= settleMs / 20; ++round) {
        reapZombies();
        result.clear();
        for (const ProcessInfo& p : browserDescendants())
            if (p.state != 'Z')
                result << u"%1 %2"_s.arg(p.pid).arg(p.name);
        if (result.isEmpty())
            break;
        QThread::msleep(20);
    }
    return result;
}

std::pair<qint64, QStringList> ourBrowser() {
    for (const ProcessInfo& p : browserDescendants()) {
        QFile file(u"/proc/%1/cmdline"_s.arg(p.pid));
        const QStringList arguments = file.open(QIODevice::ReadOnly)
                                          ? QString::fromLocal8Bit(file.readAll()).split(u'\0')
                                          : QStringList();
        if (p.name == u"chromium"_s && arguments.filter(u"--type="_s).isEmpty())
            return {p.pid, arguments};
    }
    return {0, {}};
}

void endOurBrowserProcesses() {
    for (int round = 0; round < 50; ++round) {
        const QList<ProcessInfo> left = browserDescendants();
        if (left.isEmpty())
            break;
        for (const ProcessInfo& p : left)
            if (p.state != 'Z')
                ::kill(static_cast<pid_t>(p.pid), SIGKILL);
        QThread::msleep(20);
        reapZombies();
    }
    // The temporary folders the sessions of this process left to their detached browsers.
    const QDir temp = QDir::temp();
    const QStringList left = temp.entryList({u"tavlix-browser-%1-*"_s.arg(::getpid())}, QDir::Dirs);
    for (const QString& name : left)
        QDir(temp.filePath(name)).removeRecursively();
}

} // namespace tavlix::test
