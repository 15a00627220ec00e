// The passwords in the desktop's keyring. "Keyring" runs in a D-Bus session with a keyring of its
// own (support/keyring-session.sh): a typed password lands there and not in DATA.xlsx, the move
// empties every password cell and the portal login still works. "NoKeyring" runs without one:
// the cell is written as before and the window says so.
#include "AppFixture.h"

#include "support/Openpyxl.h"
#include "support/PortalSite.h"
#include "support/Processes.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

// What the keyring holds for an entry, read by its own command-line tool; empty: nothing.
QString keyringEntry(const QString& company, const char* field) {
    QProcess tool;
    tool.start(u"secret-tool"_s, {u"lookup"_s, u"server"_s, u"Tavlix"_s, u"user"_s,
                                  company + u'/' + QString::fromLatin1(field)});
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

class KeyringFixture : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        becomeSubreaper();
        ASSERT_TRUE(site.start());
        qputenv("TAVLIX_HEADLESS", "1");
        qputenv("TAVLIX_CONNECTIVITY", "online");
        qputenv("TAVLIX_PORTAL_URL", site.url().toUtf8());
        // Alfa has a user code and no password; Beta keeps all of its passwords in cells, one
        // of them a formula, beside a formula that is no password.
        makeStandardData();
        ASSERT_TRUE(writeWithOpenpyxl(
            dataPath(),
            u"wb = openpyxl.load_workbook(path)\nws = wb['prgDATA']\n"
            u"for k, v in [('B8', '11112222'), ('C3', 'kullanıcı-ş'), ('C8', '33333333'),"
            u" ('C9', 'Şifre-123'), ('C12', 'gmail-ğ'), ('C14', 'yandex-ü'),"
            u" ('B19', '=LEN(B2)'), ('B14', '=C14')]:\n    ws[k] = v\nwb.save(path)"_s));
        start();
    }
    void TearDown() override {
        AppFixture::TearDown();
        for (const char* name : {"TAVLIX_HEADLESS", "TAVLIX_CONNECTIVITY", "TAVLIX_PORTAL_URL"})
            qunsetenv(name);
        EXPECT_EQ(ourBrowserProcesses(), QStringList());
    }

    // "e-Arşiv Taslak" for Alfa: no password, "Evet", the password typed key by key, "Kaydet".
    // Returns what the window said about where the password is kept.
    QString typePassword(const QString& password) {
        selectCompany(u"Alfa Ltd"_s);
        QString note;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            QWidget* window = QApplication::activeModalWidget();
            if (!window || window->objectName() != u"PortalCredentialsWindow"_s)
                return;
            user.stop();
            note = window->findChild<QLabel*>(u"sifreYeri"_s)->text();
            auto* field = window->findChild<QLineEdit*>(u"sifre"_s);
            field->setFocus();
            for (const QChar ch : password)
                QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(ch),
                                    Qt::NoModifier);
            QTest::mouseClick(window->findChild<QPushButton*>(u"kaydet"_s), Qt::LeftButton);
        });
        user.start(50);
        boxes->answer(QMessageBox::Yes);
        QTest::mouseClick(find<QPushButton>("Command20"), Qt::LeftButton);
        return note;
    }
    QJsonObject prgCells() {
        return readWithOpenpyxl(dataPath())[u"cells"_s].toObject()[u"prgDATA"_s].toObject();
    }
    void moveToKeyring() { m_window->findChild<QAction*>(u"menuAnahtarlik"_s)->trigger(); }

    PortalSite site;
};

using Keyring = KeyringFixture;
using NoKeyring = KeyringFixture;

TEST_F(Keyring, ATypedPasswordAndTheMovedOnesLiveInTheKeyringAndTheLoginUsesThem) {
    QJsonObject before = prgCells();
    EXPECT_EQ(typePassword(u"Alfa-Şifre ı1"_s),
              u"Şifre masaüstünün anahtarlığında saklanır; DATA.xlsx dosyasına yazılmaz."_s);
    EXPECT_EQ(keyringEntry(u"Alfa Ltd"_s, "e-arsiv"), u"Alfa-Şifre ı1"_s);
    EXPECT_EQ(prgCells(), before) << "the password is in no cell";

    // Under a spreadsheet program's lock nothing is moved; then every password cell of Beta
    // goes, and B14's formula and everything else stays.
    const QString lock = programPath() + u"/Data/.~lock.DATA.xlsx#"_s;
    ASSERT_TRUE(QFile(lock).open(QIODevice::WriteOnly));
    boxes->clear();
    moveToKeyring();
    EXPECT_EQ(boxes->texts(), QStringList{u"Şifreler anahtarlığa taşınmadı: DATA.xlsx başka bir "
                                          u"programda açık. Kapatıp yeniden deneyin."_s});
    EXPECT_EQ(prgCells(), before);
    QFile::remove(lock);
    boxes->clear();
    moveToKeyring();
    EXPECT_EQ(
        boxes->texts(),
        QStringList{u"4 şifre anahtarlığa taşındı; DATA.xlsx içindeki hücreleri boşaltıldı."_s});
    for (const char* cell : {"C3", "C9", "C12", "C14"})
        before.remove(QString::fromLatin1(cell));
    EXPECT_EQ(prgCells(), before);
    EXPECT_EQ(keyringEntry(u"Beta AŞ"_s, "yandex"), u"yandex-ü"_s);

    // The portal takes Beta's password from the keyring.
    selectCompany(u"Beta AŞ"_s);
    QTest::mouseClick(find<QPushButton>("Command20"), Qt::LeftButton);
    EXPECT_EQ(site.acceptedLogins(), 1) << boxes->texts().join(u" | "_s).toStdString();
}

TEST_F(NoKeyring, ThePasswordIsWrittenIntoItsCellAndNothingIsMoved) {
    QJsonObject before = prgCells();
    EXPECT_EQ(typePassword(u"Alfa-Şifre ı1"_s),
              u"Masaüstünde bir anahtarlık bulunamadı: şifre DATA.xlsx dosyasında saklanır."_s);
    before[u"B9"_s] = u"Alfa-Şifre ı1"_s;
    EXPECT_EQ(prgCells(), before);

    boxes->clear();
    moveToKeyring();
    EXPECT_EQ(boxes->texts(), QStringList{u"Şifreler anahtarlığa taşınmadı: masaüstünde bir "
                                          u"anahtarlık bulunamadı; şifreler DATA.xlsx içinde "
                                          u"kalıyor."_s});
    EXPECT_EQ(prgCells(), before);
}

} // namespace
} // namespace tavlix::test
