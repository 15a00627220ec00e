#include "mail/ProformaMail.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace tavlix::mail {

namespace {

const QByteArray kCrLf = "\r\n";

bool isPlainAddress(const QString& address) {
    static const QRegularExpression kAddress(uR"(^[^\s<>()\[\],;:"@]+@[^\s<>()\[\],;:"@]+$)"_s);
    return kAddress.match(address).hasMatch();
}

// Base64 in lines of 76 characters.
QByteArray base64Lines(const QByteArray& data) {
    const QByteArray encoded = data.toBase64();
    QByteArray out;
    out.reserve(encoded.size() + encoded.size() / 76 * 2 + 2);
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        out += encoded.mid(i, 76) + kCrLf;
    return out;
}

// A header text as RFC 2047 encoded words of at most 45 bytes of UTF-8 each (no character split),
// folded onto continuation lines; plain ASCII without line breaks stays as it is.
QByteArray headerText(const QString& text) {
    QString oneLine = text;
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ');
    bool ascii = true;
    for (QChar ch : oneLine)
        ascii = ascii && ch.unicode() >= 0x20 && ch.unicode() < 0x7f;
    if (ascii && oneLine.size() <= 900)
        return oneLine.toLatin1();
    QByteArrayList words;
    QByteArray chunk;
    for (qsizetype i = 0; i < oneLine.size(); ++i) {
        const qsizetype n = oneLine.at(i).isHighSurrogate() && i + 1 < oneLine.size() ? 2 : 1;
        const QByteArray bytes = oneLine.mid(i, n).toUtf8();
        i += n - 1;
        if (chunk.size() + bytes.size() > 45) {
            words << "=?UTF-8?B?" + chunk.toBase64() + "?=";
            chunk.clear();
        }
        chunk += bytes;
    }
    if (!chunk.isEmpty() || words.isEmpty())
        words << "=?UTF-8?B?" + chunk.toBase64() + "?=";
    return words.join(kCrLf + ' ');
}

// RFC 2231 parameter value: UTF-8 with every byte outside the plain set percent-encoded.
QByteArray extendedValue(const QString& text) {
    return "UTF-8''" + text.toUtf8().toPercentEncoding("!#$&+-.^_`|~");
}

// The text body with CR LF line ends whatever the box gave.
QByteArray crLfText(const QString& text) {
    QString t = text;
    t.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n').replace(u"\n"_s, u"\r\n"_s);
    return t.toUtf8();
}

Error badInput(const QString& text) {
    return makeError(ErrorCode::InvalidInput, text);
}

// The attachment's type by its name: the issued invoice goes out as PDF and HTML beside the
// proforma workbook.
QByteArray contentType(const QString& name) {
    const QString lower = name.toLower();
    if (lower.endsWith(u".pdf"_s))
        return "application/pdf";
    if (lower.endsWith(u".html"_s) || lower.endsWith(u".htm"_s))
        return "text/html; charset=UTF-8";
    if (lower.endsWith(u".xml"_s))
        return "application/xml";
    return "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";
}

} // namespace

QString proformaSubject(const QString& company) {
    return company + u" Proforma Faturası"_s;
}

QString proformaBody(const QString& customer, const QString& company) {
    return u"Sayın;\r\n"_s + customer +
           u"\r\nProforma faturamız ek'te gönderilmiştir.\r\nİyi çalışmalar dileriz\r\n"_s +
           company;
}

QStringList addressList(const QString& field) {
    QStringList out;
    for (const QString& part : field.split(QRegularExpression(u"[;,]"_s))) {
        QString address = part.trimmed();
        // "Ad Soyad <ad@alan.com>" gives the address between the brackets.
        const qsizetype open = address.lastIndexOf(u'<');
        if (open >= 0 && address.endsWith(u'>'))
            address = address.mid(open + 1, address.size() - open - 2).trimmed();
        if (!address.isEmpty())
            out << address;
    }
    return out;
}

Result<QByteArray> mimeMessage(const ProformaMail& mail, bool withFrom) {
    const QStringList to = addressList(mail.to);
    const QStringList cc = addressList(mail.cc);
    if (to.isEmpty())
        return badInput(u"Alıcı adresi girilmemiş."_s);
    const QStringList from = addressList(mail.from);
    if (withFrom && from.size() != 1)
        return badInput(u"Gönderen adresi girilmemiş."_s);
    for (const QString& address : to + cc + (withFrom ? from : QStringList())) {
        if (!isPlainAddress(address))
            return badInput(u"Geçersiz e-posta adresi: "_s + address);
    }

    QList<std::pair<QString, QByteArray>> attachments; // name, content
    for (const QString& path : QStringList{mail.attachmentPath} + mail.moreAttachments) {
        QFile file(path);
        if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
            return makeError(ErrorCode::NotFound, u"Eklenecek fatura dosyası okunamadı: "_s + path);
        const QString name = attachments.isEmpty() && !mail.attachmentName.isEmpty()
                                 ? mail.attachmentName
                                 : QFileInfo(path).fileName();
        attachments.append({name, file.readAll()});
    }

    const QByteArray boundary = "=_tavlix_" + QUuid::createUuid().toByteArray(QUuid::Id128);
    QByteArray m;
    m += "Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1() + kCrLf;
    m += "Message-ID: <" + QUuid::createUuid().toByteArray(QUuid::Id128) + "@tavlix>" + kCrLf;
    if (withFrom)
        m += "From: " + from.first().toUtf8() + kCrLf;
    m += "To: " + to.join(u", "_s).toUtf8() + kCrLf;
    if (!cc.isEmpty())
        m += "Cc: " + cc.join(u", "_s).toUtf8() + kCrLf;
    m += "Subject: " + headerText(mail.subject) + kCrLf;
    m += "MIME-Version: 1.0" + kCrLf;
    m += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"" + kCrLf + kCrLf;

    m += "--" + boundary + kCrLf;
    m += "Content-Type: text/plain; charset=UTF-8" + kCrLf;
    m += "Content-Transfer-Encoding: base64" + kCrLf + kCrLf;
    m += base64Lines(crLfText(mail.body));

    for (const auto& [name, content] : std::as_const(attachments)) {
        m += "--" + boundary + kCrLf;
        m += "Content-Type: " + contentType(name) + ";" + kCrLf + " name*=" + extendedValue(name) +
             kCrLf;
        m += "Content-Transfer-Encoding: base64" + kCrLf;
        m += "Content-Disposition: attachment;" + kCrLf + " filename*=" + extendedValue(name) +
             kCrLf + kCrLf;
        m += base64Lines(content);
    }
    m += "--" + boundary + "--" + kCrLf;
    return m;
}

} // namespace tavlix::mail
