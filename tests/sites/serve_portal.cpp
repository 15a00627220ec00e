// Serves the e-Archive portal stand-in on 127.0.0.1 for trying the upload by hand, until Ctrl+C:
//   tavlix_portal_standin [port (8631)] [user code (33333333)] [password (demo)]
#include "support/PortalDrafts.h"
#include "support/PortalSite.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

int main(int argc, char** argv) {
    const int port = argc > 1 ? std::atoi(argv[1]) : 8631;
    const QString user = argc > 2 ? QString::fromLocal8Bit(argv[2]) : u"33333333"_s;
    const QString password = argc > 3 ? QString::fromLocal8Bit(argv[3]) : u"demo"_s;

    // Ctrl+C and kill are taken by sigwait below, so the server stops in order.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    tavlix::test::PortalSite site(user, password);
    tavlix::test::PortalDrafts drafts(site.server());
    if (!site.start(port)) {
        std::fprintf(stderr, "Port %d kullanılamıyor.\n", port);
        return 1;
    }
    std::printf("e-Arşiv portalı taklidi: %s (kullanıcı kodu %s). Durdurmak için Ctrl+C.\n",
                qPrintable(site.url()), qPrintable(user));
    std::fflush(stdout);
    int received = 0;
    sigwait(&stopSignals, &received);
    site.server().stop();
    return 0;
}
