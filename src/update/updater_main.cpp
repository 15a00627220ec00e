// TavlixUpdate: the program's updater, started by Tavlix once a new program has been downloaded:
// TavlixUpdate <program folder> <process id of Tavlix> <SHA-256 of the new program> [NAME=VALUE…]
// where NAME is one of the display variables an elevating command clears.
#include "update/UpdateInstall.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

int main(int argc, char** argv) {
    // Tavlix ends once it reads this line; afterwards nobody reads the pipe any more.
    std::printf("%s\n", tavlix::kUpdaterReadyLine);
    std::fflush(stdout);
    ::signal(SIGPIPE, SIG_IGN);
    if (const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC); null >= 0)
        ::dup2(null, STDOUT_FILENO);

    for (int i = 4; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        for (const char* name : {"DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"}) {
            if (arg.startsWith(QByteArray(name) + '='))
                qputenv(name, arg.mid(qstrlen(name) + 1));
        }
    }
    QApplication app(argc, argv);
    if (argc < 4) {
        QMessageBox::warning(nullptr, u"TavlixUpdate"_s,
                             u"TavlixUpdate yalnızca Tavlix tarafından başlatılır."_s);
        return 2;
    }
    // Only the folder the updater itself lives in is updated, whatever folder it is told.
    tavlix::UpdateRequest request;
    request.programDir = QCoreApplication::applicationDirPath();
    if (QFileInfo(QString::fromLocal8Bit(argv[1])).canonicalFilePath() != request.programDir) {
        QMessageBox::warning(nullptr, u"TavlixUpdate"_s,
                             u"Güncelleme yapılamadı: TavlixUpdate yalnızca kendi klasöründeki "
                             u"Tavlix'i günceller."_s);
        return 2;
    }
    request.pid = QByteArray(argv[2]).toLongLong();
    request.sha256 = QByteArray(argv[3]);
    const auto done = tavlix::runUpdate(request);
    if (!done) {
        QMessageBox::warning(nullptr, u"TavlixUpdate"_s, done.message());
        return 1;
    }
    if (!done->isEmpty())
        QMessageBox::information(nullptr, u"TavlixUpdate"_s, *done);
    return 0;
}
