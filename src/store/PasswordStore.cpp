#include "store/PasswordStore.h"

#include "store/DataWorkbook.h"

#include <QEventLoop>
#include <QTimer>

#include <qt6keychain/keychain.h>

using namespace Qt::StringLiterals;

namespace tavlix::store {

namespace {

const QString kService = u"Tavlix"_s;
// An entry no one writes: reading it tells whether a keyring answers at all.
const QString kProbeKey = u"Tavlix/anahtarlik-yoklamasi"_s;
constexpr int kRetryAfterMs = 60000;

struct JobEnd {
    bool finished = false;
    QKeychain::Error error = QKeychain::OtherError;
    QString text;
};

// Starts `job` and waits for it; on time-out the job is left to finish and delete itself.
JobEnd await(QKeychain::Job* job, int timeoutMs) {
    JobEnd end;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job* done) {
        end.finished = true;
        end.error = done->error();
        if (auto* reading = qobject_cast<QKeychain::ReadPasswordJob*>(done))
            end.text = reading->textData();
        loop.quit();
    });
    job->setAutoDelete(true);
    job->setInsecureFallback(false); // never a plain-text file instead of the keyring
    timer.start(timeoutMs);
    job->start();
    if (!end.finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return end;
}

bool unreachable(QKeychain::Error error) {
    return error == QKeychain::NoBackendAvailable || error == QKeychain::NotImplemented ||
           error == QKeychain::OtherError;
}

} // namespace

int prgRowOf(PasswordField field) {
    switch (field) {
    case PasswordField::User:
        return PrgRow::UserPassword;
    case PasswordField::EArchive:
        return PrgRow::EArchivePassword;
    case PasswordField::Gmail:
        return PrgRow::GmailPassword;
    case PasswordField::Yandex:
        return PrgRow::YandexPassword;
    }
    return PrgRow::EArchivePassword;
}

QString keyringKey(const QString& company, PasswordField field) {
    static const QString names[] = {u"kullanici"_s, u"e-arsiv"_s, u"gmail"_s, u"yandex"_s};
    return company + u'/' + names[static_cast<int>(field)];
}

void KeyringPasswords::markUnavailable() {
    m_unavailableUntil = QDeadlineTimer(kRetryAfterMs);
}

bool KeyringPasswords::knownUnavailable() const {
    // TAVLIX_KEYRING=off: the workbook keeps the passwords, as on a desktop without a keyring.
    if (qEnvironmentVariable("TAVLIX_KEYRING") == u"off"_s)
        return true;
    return m_unavailableUntil && !m_unavailableUntil->hasExpired();
}

bool KeyringPasswords::available() {
    if (knownUnavailable())
        return false;
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setKey(kProbeKey);
    const JobEnd end = await(job, m_timeoutMs);
    const bool answers =
        end.finished && (end.error == QKeychain::NoError || end.error == QKeychain::EntryNotFound);
    if (!answers)
        markUnavailable();
    return answers;
}

std::optional<QString> KeyringPasswords::read(const QString& company, PasswordField field) {
    if (company.isEmpty() || knownUnavailable())
        return std::nullopt;
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setKey(keyringKey(company, field));
    const JobEnd end = await(job, m_timeoutMs);
    if (!end.finished || unreachable(end.error))
        markUnavailable();
    if (!end.finished || end.error != QKeychain::NoError || end.text.isEmpty())
        return std::nullopt;
    return end.text;
}

Result<void> KeyringPasswords::write(const QString& company, PasswordField field,
                                     const QString& password) {
    if (company.isEmpty())
        return makeError(ErrorCode::InvalidInput, u"Firma adı olmadan şifre saklanamaz."_s);
    if (knownUnavailable())
        return makeError(ErrorCode::Unsupported, u"Masaüstünde bir anahtarlık bulunamadı."_s);
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setKey(keyringKey(company, field));
    job->setTextData(password);
    const JobEnd end = await(job, m_timeoutMs);
    if (!end.finished) {
        markUnavailable();
        return makeError(ErrorCode::Io, u"Anahtarlık zamanında yanıt vermedi."_s);
    }
    switch (end.error) {
    case QKeychain::NoError:
        return {};
    case QKeychain::AccessDeniedByUser:
    case QKeychain::AccessDenied:
        return makeError(ErrorCode::Io, u"Anahtarlığa erişim reddedildi."_s);
    default:
        if (unreachable(end.error))
            markUnavailable();
        return makeError(ErrorCode::Io, u"Şifre anahtarlığa yazılamadı."_s);
    }
}

PasswordStore& desktopPasswords() {
    static KeyringPasswords passwords;
    return passwords;
}

QString effectivePassword(PasswordStore* passwords, const QString& company, PasswordField field,
                          const QString& cellText) {
    if (passwords) {
        if (std::optional<QString> stored = passwords->read(company, field))
            return *stored;
    }
    return cellText;
}

} // namespace tavlix::store
