// The desktop's keyring (a Secret Service: GNOME Keyring, KWallet) as the home of the passwords
// prgDATA has rows for, keyed by company and field. A password is never printed or logged.
#pragma once

#include "platform/Result.h"

#include <QDeadlineTimer>
#include <QString>

#include <optional>

namespace tavlix::store {

// The password rows of prgDATA.
enum class PasswordField { User, EArchive, Gmail, Yandex };
inline constexpr PasswordField kPasswordFields[] = {PasswordField::User, PasswordField::EArchive,
                                                    PasswordField::Gmail, PasswordField::Yandex};
int prgRowOf(PasswordField field);
// The keyring entry of a company's password: "<company>/<field>" under the service "Tavlix".
QString keyringKey(const QString& company, PasswordField field);

class PasswordStore {
public:
    virtual ~PasswordStore() = default;
    // Whether a keyring answers.
    virtual bool available() = 0;
    // The stored password; nothing when there is none or no keyring answers.
    virtual std::optional<QString> read(const QString& company, PasswordField field) = 0;
    virtual Result<void> write(const QString& company, PasswordField field,
                               const QString& password) = 0;
};

// The Secret Service through QtKeychain. Its jobs run on the D-Bus; each call waits for its job
// in a local event loop that keeps the window painting (user input waits) and gives up after
// `timeoutMs` (a locked keyring may ask the user for its password meanwhile).
class KeyringPasswords : public PasswordStore {
public:
    static constexpr int kTimeoutMs = 30000;
    explicit KeyringPasswords(int timeoutMs = kTimeoutMs)
        : m_timeoutMs(timeoutMs) {}

    bool available() override;
    std::optional<QString> read(const QString& company, PasswordField field) override;
    Result<void> write(const QString& company, PasswordField field,
                       const QString& password) override;

private:
    // Set when no keyring answered: it is asked again only after a while, so that a desktop
    // without one is not slowed down at every company change.
    void markUnavailable();
    bool knownUnavailable() const;

    int m_timeoutMs;
    std::optional<QDeadlineTimer> m_unavailableUntil;
};

// The program's keyring; tests give DataStore another store.
PasswordStore& desktopPasswords();

// The password of `field` as the program uses it: the keyring's when it holds one, else the
// workbook cell's text (a cell that holds a password keeps working).
QString effectivePassword(PasswordStore* passwords, const QString& company, PasswordField field,
                          const QString& cellText);

} // namespace tavlix::store
