#include "SmtpsServer.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tavlix::test {

namespace {

const QString kPython = u"/usr/bin/python3"_s;

QString script(const char* name) {
    return QStringLiteral(TAVLIX_TEST_SOURCE_DIR "/mail/") + QString::fromUtf8(name);
}

} // namespace

SmtpsServer::SmtpsServer(const QString& user, const QString& password) {
    const QString cert = m_dir.filePath(u"cert.pem"_s);
    const QString key = m_dir.filePath(u"key.pem"_s);
    QProcess openssl;
    openssl.start(u"openssl"_s,
                  {u"req"_s, u"-x509"_s, u"-newkey"_s, u"ec"_s, u"-pkeyopt"_s,
                   u"ec_paramgen_curve:prime256v1"_s, u"-nodes"_s, u"-keyout"_s, key, u"-out"_s,
                   cert, u"-days"_s, u"2"_s, u"-subj"_s, u"/CN=127.0.0.1"_s, u"-addext"_s,
                   u"subjectAltName=IP:127.0.0.1"_s});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0) {
        ADD_FAILURE() << "openssl: " << openssl.readAllStandardError().toStdString();
        return;
    }
    QDir(m_dir.path()).mkdir(u"mail"_s);
    m_process.start(
        kPython, {script("smtps_server.py"), cert, key, user, password, m_dir.filePath(u"mail"_s)});
    if (!m_process.waitForStarted(10000)) {
        ADD_FAILURE() << "the SMTPS server did not start";
        return;
    }
    while (!m_process.canReadLine() && m_process.state() == QProcess::Running)
        m_process.waitForReadyRead(200);
    m_port = m_process.readLine().trimmed().toInt();
    if (m_port <= 0)
        ADD_FAILURE() << "SMTPS server: " << m_process.readAllStandardError().toStdString();
}

SmtpsServer::~SmtpsServer() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel(); // the server stops when its input ends
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString SmtpsServer::url() const {
    return u"smtps://127.0.0.1:%1"_s.arg(m_port);
}

QString SmtpsServer::caFile() const {
    return m_dir.filePath(u"cert.pem"_s);
}

int SmtpsServer::received() const {
    return static_cast<int>(
        QDir(m_dir.filePath(u"mail"_s)).entryList({u"*.eml"_s}, QDir::Files).size());
}

QJsonObject SmtpsServer::envelope(int n) const {
    QFile f(m_dir.filePath(u"mail/%1.json"_s.arg(n)));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

QString SmtpsServer::messageFile(int n) const {
    return m_dir.filePath(u"mail/%1.eml"_s.arg(n));
}

QJsonObject parseMail(const QString& path) {
    QProcess p;
    p.start(kPython, {script("mail_dump.py"), path});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        ADD_FAILURE() << "mail_dump.py: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

} // namespace tavlix::test
