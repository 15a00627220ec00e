// TavlixUpdate: the program's updater, started (elevated when it must be) by Tavlix once a new
// program and its signature are in prgDosyaları/:
//   TavlixUpdate <program folder> <process id of Tavlix> [NAME=VALUE…]
// NAME=VALUE are for the restarted Tavlix only (TAVLIX_*, the display, session bus, PATH, LANG).
// Run as root, it is kept small: no Qt application object (whose option parsing would load
// plugins named on the command line), plain checks of every argument, then the update.
#include "app/Version.h"
#include "update/ReleaseSignature.h"
#include "update/UpdateInstall.h"

#include <QByteArray>
#include <QFileInfo>

#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Tavlix reads the reason from the pipe and tells the user; it goes on with its own version.
int refuse(const QString& reason) {
    std::printf("%s%s\n", tavlix::kUpdaterFailedPrefix, reason.toUtf8().constData());
    std::fflush(stdout);
    return 2;
}

bool processId(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 9)
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return text.toLongLong() > 0;
}

} // namespace

int main(int argc, char** argv) {
    ::signal(SIGPIPE, SIG_IGN);
    if (argc < 3)
        return refuse(u"TavlixUpdate yalnızca Tavlix tarafından başlatılır"_s);
    // Only the folder the updater itself lives in is updated, whatever folder it is told.
    tavlix::UpdateRequest request;
    request.programDir = QFileInfo(QFileInfo(u"/proc/self/exe"_s).canonicalFilePath()).path();
    if (QFileInfo(QString::fromLocal8Bit(argv[1])).canonicalFilePath() != request.programDir)
        return refuse(u"TavlixUpdate yalnızca kendi klasöründeki Tavlix'i günceller"_s);
    if (!processId(argv[2]))
        return refuse(u"geçersiz süreç numarası"_s);
    request.pid = QByteArray(argv[2]).toLongLong();
    for (int i = 3; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        const qsizetype equals = arg.indexOf('=');
        if (equals <= 0 || !tavlix::passedVariable(arg.left(equals)))
            return refuse(u"tanınmayan argüman (%1)"_s.arg(QString::fromLocal8Bit(arg.left(80))));
        request.userEnvironment.push_back(arg);
    }
    request.publicKey = tavlix::compiledUpdateKey();
    // Built with Tavlix: only a release newer than this one is installed.
    request.runningVersion = tavlix::kVersionNumber;

    bool saidReady = false;
    const auto done = tavlix::runUpdate(request, [&saidReady] {
        // Tavlix ends once it reads this line; afterwards nobody reads the pipe any more.
        std::printf("%s\n", tavlix::kUpdaterReadyLine);
        std::fflush(stdout);
        saidReady = true;
        if (const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC); null >= 0)
            ::dup2(null, STDOUT_FILENO);
    });
    if (done)
        return 0;
    if (!saidReady)
        return refuse(done.message());
    // The restarted Tavlix has the message; this is for a log.
    std::fprintf(stderr, "%s\n", tavlix::updateFailedText(done.message()).toUtf8().constData());
    return 1;
}
