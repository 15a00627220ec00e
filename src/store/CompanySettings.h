// The current company's settings: its column of prgDATA, read when the company is selected.
#pragma once

#include <QString>

namespace tavlix {

struct CompanySettings {
    QString portalTaxNumber; // row 7
    QString portalUser;      // row 8
    QString portalPassword;  // row 9
    QString bookKeepingType; // row 10: B, İ, S, Z or D
    QString gmailUser;       // row 11
    QString gmailPass;       // row 12
    QString yandexUser;      // row 13
    QString yandexPass;      // row 14
    QString userNot1;        // rows 16 to 18: the invoice footnotes
    QString userNot2;
    QString userNot3;
};

} // namespace tavlix
