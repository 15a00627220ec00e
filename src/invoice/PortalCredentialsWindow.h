// "e-Arşiv Giriş Bilgileri": the company's portal user code and password, typed in when an
// operation found none: the code goes into its column of prgDATA through the workbook's guards,
// the password into the desktop's keyring, or into prgDATA where no keyring runs (it says which).
#pragma once

#include "platform/Result.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavlix {

class InvoiceHost;

class PortalCredentialsWindow : public QDialog {
    Q_OBJECT
public:
    using Save = std::function<Result<void>(const QString& user, const QString& password)>;
    PortalCredentialsWindow(const QString& company, const QString& user, bool keyring, Save save,
                            QWidget* parent = nullptr);

    QString userCode() const;
    QString password() const;

private:
    void saveClicked();

    Save m_save;
    QLineEdit* m_user = nullptr;     // kullaniciKodu
    QLineEdit* m_password = nullptr; // sifre, shown as dots
    QPushButton* m_saveButton = nullptr;
};

// "<company> için e-Arşiv kullanıcı kodu veya şifresi kayıtlı değil." with the offer to enter
// them; "Evet" opens the window. True when they were saved: the host then holds them too.
bool offerPortalCredentials(InvoiceHost& host, QWidget* parent);

} // namespace tavlix
