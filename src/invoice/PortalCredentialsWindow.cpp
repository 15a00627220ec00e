#include "invoice/PortalCredentialsWindow.h"

#include "invoice/InvoiceHost.h"
#include "store/DataStore.h"
#include "widgets/MessageBoxPrompt.h"
#include "widgets/NamedControl.h"
#include "widgets/PlacedWindow.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tavlix {

PortalCredentialsWindow::PortalCredentialsWindow(const QString& company, const QString& user,
                                                 bool keyring, Save save, QWidget* parent)
    : QDialog(parent)
    , m_save(std::move(save)) {
    setObjectName(u"PortalCredentialsWindow"_s);
    setWindowTitle(u"e-Arşiv Giriş Bilgileri"_s);
    // Two short fields alone would make the window narrower than its title bar needs.
    setMinimumWidth(titleBarWidth(*this));
    setModal(true);
    m_user = named<QLineEdit>(u"kullaniciKodu"_s, user, this);
    m_password = named<QLineEdit>(u"sifre"_s, this);
    m_password->setEchoMode(QLineEdit::Password);
    m_saveButton = named<QPushButton>(u"kaydet"_s, u"Kaydet"_s, this);
    m_saveButton->setDefault(true);
    auto* cancel = named<QPushButton>(u"vazgec"_s, u"Vazgeç"_s, this);

    auto* form = new QFormLayout;
    form->addRow(named<QLabel>(u"firma"_s, company, this));
    form->addRow(u"Kullanıcı kodu"_s, m_user);
    form->addRow(u"Şifre"_s, m_password);
    auto* kept = named<QLabel>(
        u"sifreYeri"_s,
        keyring ? u"Şifre masaüstünün anahtarlığında saklanır; DATA.xlsx dosyasına yazılmaz."_s
                : u"Masaüstünde bir anahtarlık bulunamadı: şifre DATA.xlsx dosyasında saklanır."_s,
        this);
    kept->setWordWrap(true);
    form->addRow(kept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_saveButton);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(m_saveButton, &QPushButton::clicked, this, &PortalCredentialsWindow::saveClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString PortalCredentialsWindow::userCode() const {
    return m_user->text().trimmed();
}

QString PortalCredentialsWindow::password() const {
    return m_password->text();
}

void PortalCredentialsWindow::saveClicked() {
    QString problem;
    if (userCode().isEmpty() || password().isEmpty())
        problem = u"Kullanıcı kodu ve şifre boş bırakılamaz."_s;
    else if (const Result<void> saved = m_save(userCode(), password()); !saved)
        problem = saved.message();
    if (problem.isEmpty()) {
        accept();
        return;
    }
    // The window stays open: the user may close the other program and press "Kaydet" again.
    showMessageBox(QMessageBox::Warning, u"Tavlix"_s, problem, QMessageBox::Ok, this);
}

bool offerPortalCredentials(InvoiceHost& host, QWidget* parent) {
    const QString company = host.companyName();
    if (showMessageBox(QMessageBox::Warning, u"Tavlix"_s,
                       company + u" için e-Arşiv kullanıcı kodu veya şifresi kayıtlı değil."_s,
                       QMessageBox::Yes | QMessageBox::No, parent, QMessageBox::No,
                       u"Şimdi girmek ister misiniz?"_s) != QMessageBox::Yes)
        return false;
    const QString dataPath = host.dataWorkbookPath();
    const int lastColumn = host.lastCompanyColumn();
    const bool keyring = store::desktopPasswords().available();
    store::PasswordKept kept = store::PasswordKept::Workbook;
    PortalCredentialsWindow window(
        company, host.currentCompanySettings().portalUser, keyring,
        [&](const QString& user, const QString& password) -> Result<void> {
            const auto saved = store::DataStore(dataPath).savePortalCredentials(company, lastColumn,
                                                                                user, password);
            if (!saved)
                return saved.error();
            kept = *saved;
            return {};
        },
        parent);
    if (window.exec() != QDialog::Accepted)
        return false;
    // The window promised the keyring; say so when it refused at the last moment.
    if (keyring && kept == store::PasswordKept::Workbook) {
        QMessageBox told(QMessageBox::Warning, u"Tavlix"_s,
                         u"Şifre anahtarlığa yazılamadı; DATA.xlsx dosyasında saklandı."_s,
                         QMessageBox::Ok, parent);
        told.exec();
    }
    host.setPortalCredentials(window.userCode(), window.password());
    return true;
}

} // namespace tavlix
