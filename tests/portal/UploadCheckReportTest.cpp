#include "portal/UploadCheckReport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tavlix::portal::uploadCheckReport;

TEST(UploadCheckReport, FiveLinesWithTheirBlanks) {
    const QString dashes(60, u'-');
    EXPECT_EQ(uploadCheckReport(1180.0f, 1180.0f, {}),
              u" Fatura yükleme tamamlandı, kontrol sonucu... :\r\n "_s + dashes +
                  u"\r\n Tavlix Fatura Toplamı  :  1.180,00\r\n"
                  u" Portal Fatura Toplamı  :  1.180,00\r\n"
                  u" Fatura Toplam Farkı     :         0,00 [TL,Kr]'dir."_s);
}

TEST(UploadCheckReport, DifferenceAndSkippedSteps) {
    struct Case {
        const char* name;
        float program, portal;
        QStringList skipped;
        QString differenceLine;
        QString extraLine; // empty: exactly five lines
    };
    const QList<Case> cases{
        {"one kuruş lower",
         1180.0f,
         1179.99f,
         {},
         u" Fatura Toplam Farkı     :         -0,01 [TL,Kr]'dir."_s,
         {}},
        {"no total cell",
         1180.0f,
         0.0f,
         {u"vergilerDahilToplamTutar"_s},
         u" Fatura Toplam Farkı     :         -1.180,00 [TL,Kr]'dir."_s,
         u" Atlanan adım sayısı: 1 (ilk atlananlar: vergilerDahilToplamTutar)"_s},
        {"many skipped",
         10.5f,
         10.5f,
         {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"g"_s},
         u" Fatura Toplam Farkı     :         0,00 [TL,Kr]'dir."_s,
         u" Atlanan adım sayısı: 7 (ilk atlananlar: a, b, c, d, e, …)"_s},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        const QStringList lines =
            uploadCheckReport(tc.program, tc.portal, tc.skipped).split(u"\r\n"_s);
        ASSERT_EQ(lines.size(), tc.extraLine.isEmpty() ? 5 : 6);
        EXPECT_EQ(lines[4], tc.differenceLine);
        if (!tc.extraLine.isEmpty()) {
            EXPECT_EQ(lines[5], tc.extraLine);
        }
    }
}
