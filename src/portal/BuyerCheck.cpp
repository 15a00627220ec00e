#include "portal/BuyerCheck.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace tavlix::portal {

namespace {

bool allDigits(const QString& text) {
    for (const QChar ch : text)
        if (ch < u'0' || ch > u'9')
            return false;
    return true;
}

} // namespace

QString missingBuyerDetails(const InvoiceRecord& invoice) {
    QStringList missing;
    const QString number = invoice.taxNumber.trimmed();
    if (number.isEmpty())
        missing << u"vergi/T.C. kimlik numarası yok"_s;
    else if (!allDigits(number) || (number.size() != 10 && number.size() != 11))
        missing << u"vergi/T.C. kimlik numarası 10 ya da 11 haneli olmalı (\"%1\")"_s.arg(number);
    // The name the portal gets: the card's title, else first and last name, else what the
    // customer box shows.
    const bool named = !invoice.customerTitle.trimmed().isEmpty() ||
                       (!invoice.customerFirstName.trimmed().isEmpty() &&
                        !invoice.customerSurname.trimmed().isEmpty()) ||
                       !invoice.customerName.trimmed().isEmpty();
    if (!named)
        missing << u"alıcı adı/unvanı yok"_s;
    if (missing.isEmpty())
        return QString();
    return u"Alıcı bilgileri eksik: "_s + missing.join(u", "_s) +
           u". Müşteri kartından bir alıcı seçiniz. Fatura yüklenmedi."_s;
}

} // namespace tavlix::portal
