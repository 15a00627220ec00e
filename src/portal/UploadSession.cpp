#include "portal/UploadSession.h"

#include "platform/UserPrompt.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

UploadSession::UploadSession(UserPrompt& prompt, const SessionFactory& makeSession,
                             std::function<bool()> stopRequested)
    : m_prompt(prompt)
    , m_driver(makeSession ? makeSession() : portal::makeSession()) {
    m_driver->setKeepAlive([&prompt] { prompt.keepAlive(); });
    m_driver->setStopCheck(std::move(stopRequested));
}

UploadSession::~UploadSession() {
    quit();
}

PortalLoginResult UploadSession::open(const QString& tempFolder, const QString& portalBase,
                                      const CompanySettings& settings) {
    m_driver->SetBrowserPreference(u"download.default_directory"_s,
                                   QDir::toNativeSeparators(tempFolder));
    m_driver->SetBrowserPreference(u"download.directory_upgrade"_s, true);
    m_driver->SetBrowserPreference(u"download.prompt_for_download"_s, false);
    // A visible browser opens beside the program: the progress and its "İptal" stay in sight.
    m_driver->SetWindowRect(m_prompt.browserWindowArea());
    m_login = {portalBase, settings.portalUser, settings.portalPassword, kMenuCreateInvoice, false};
    return PortalLogin(*m_driver, m_login);
}

PortalLoginResult UploadSession::logInAgain() {
    return PortalLogin(*m_driver, m_login);
}

void UploadSession::close() {
    if (const auto heading = m_driver->FindById(u"gen__1008"_s))
        m_driver->Click(*heading);
    m_driver->CloseWindow();
    quit();
}

void UploadSession::quit() {
    m_driver->Quit();
}

} // namespace tavlix::portal
