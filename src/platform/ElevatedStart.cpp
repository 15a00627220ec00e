#include "platform/ElevatedStart.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavlix {

namespace {

constexpr auto kPkexec = "/usr/bin/pkexec";

// Ends and reaps a child that did not say it is ready.
void endChild(pid_t pid) {
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 20; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        ::usleep(50 * 1000);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

} // namespace

bool userCanWrite(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

QStringList elevatedCommand(const QString& program, const QStringList& arguments,
                            bool userCanWriteFolder) {
    QString elevator;
    if (qEnvironmentVariableIsSet("TAVLIX_ELEVATE"))
        elevator = qEnvironmentVariable("TAVLIX_ELEVATE");
    else if (!userCanWriteFolder)
        elevator = QString::fromLatin1(kPkexec);
    QStringList command;
    if (!elevator.isEmpty())
        command << elevator;
    return command << program << arguments;
}

StartOutcome startAndAwait(const QStringList& command, const QString& workingDir,
                           const QByteArray& readyLine, const std::function<void()>& keepAlive,
                           int timeoutMs, QByteArray* said) {
    if (command.isEmpty() || !QFileInfo(command.first()).isAbsolute() ||
        ::access(QFile::encodeName(command.first()).constData(), X_OK) != 0)
        return StartOutcome::Failed;
    std::vector<QByteArray> args;
    for (const QString& a : command)
        args.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const QByteArray dir = QFile::encodeName(workingDir);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return StartOutcome::Failed;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(out[0]);
        ::close(out[1]);
        return StartOutcome::Failed;
    }
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        if (::dup2(out[1], STDOUT_FILENO) < 0 || ::chdir(dir.constData()) != 0)
            ::_exit(127);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);

    // The child is left running once it is ready: it outlives this program on purpose.
    QByteArray output;
    if (!said)
        said = &output;
    said->clear();
    QElapsedTimer waited;
    waited.start();
    bool open = true;
    while (waited.elapsed() < timeoutMs) {
        if (keepAlive)
            keepAlive();
        if (open) {
            pollfd p{out[0], POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                char buffer[256];
                const ssize_t n = ::read(out[0], buffer, sizeof buffer);
                if (n > 0)
                    said->append(buffer, n);
                else if (n == 0 || errno != EINTR)
                    open = false;
                if (said->split('\n').contains(readyLine)) {
                    ::close(out[0]);
                    return StartOutcome::Ready;
                }
            }
            continue;
        }
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            ::close(out[0]);
            const bool declined =
                WIFEXITED(status) && (WEXITSTATUS(status) == 126 || WEXITSTATUS(status) == 127);
            return declined ? StartOutcome::Declined : StartOutcome::Failed;
        }
        ::usleep(50 * 1000);
    }
    ::close(out[0]);
    endChild(pid);
    return StartOutcome::Failed;
}

} // namespace tavlix
