#include "portal/UploadCheckReport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tavlix::portal::uploadCheckReport;

TEST(UploadCheckReport, FiveLinesWithTheirBlanks) {
    const QString dashes(60, u'-');
    EXPECT_EQ(uploadCheckReport(118000, 118000, {}),
              u" Fatura yükleme tamamlandı, kontrol sonucu... :\r\n "_s + dashes +
                  u"\r\n Tavlix Fatura Toplamı  :  1.180,00\r\n"
                  u" Portal Fatura Toplamı  :  1.180,00\r\n"
                  u" Fatura Toplam Farkı     :         0,00 [TL,Kr]'dir."_s);
}

TEST(UploadCheckReport, DifferenceAndSkippedSteps) {
    struct Case {
        const char* name;
        long long program, portal; // kuruş
        QString programText;
        QStringList skipped;
        QString differenceLine;
        QString extraLine; // empty: exactly five lines
    };
    const QList<Case> cases{
        {"one kuruş lower, where single precision saw none",
         141456789,
         141456788,
         u"1.414.567,89"_s,
         {},
         u" Fatura Toplam Farkı     :         -0,01 [TL,Kr]'dir."_s,
         {}},
        {"no total cell",
         118000,
         0,
         u"1.180,00"_s,
         {u"vergilerDahilToplamTutar"_s},
         u" Fatura Toplam Farkı     :         -1.180,00 [TL,Kr]'dir."_s,
         u" Atlanan adım sayısı: 1 (ilk atlananlar: Portal fatura toplamı)"_s},
        {"many skipped",
         1050,
         1050,
         u"10,50"_s,
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
        EXPECT_EQ(lines[2], u" Tavlix Fatura Toplamı  :  "_s + tc.programText);
        if (!tc.extraLine.isEmpty()) {
            EXPECT_EQ(lines[5], tc.extraLine);
        }
    }
}

TEST(UploadCheckReport, BuyerLinesOnlyWhenThePortalWroteAnotherBuyer) {
    using tavlix::portal::BuyerNames;
    const BuyerNames card{u"Işık  Ticaret"_s, u"Çankaya"_s};
    const QList<std::pair<BuyerNames, int>> cases{
        {{u" IŞIK TİCARET"_s, u"ÇANKAYA "_s}, 0}, // Turkish upper case, blanks collapsed
        {{u"ISIK TICARET"_s, u"ÇANKAYA"_s}, 2},   // dotless ı is not i
        {{u"IŞIK TİCARET"_s, u"KIZILAY"_s}, 2},
        {{}, 0}, // the portal wrote nothing
    };
    for (const auto& [portal, count] : cases)
        EXPECT_EQ(tavlix::portal::buyerDifferenceLines(portal, card).size(), count)
            << portal.name.toStdString();
    EXPECT_TRUE(tavlix::portal::buyerDifferenceLines(cases[1].first, {}).isEmpty());
    // After the five lines, before the skipped steps.
    const QStringList report =
        uploadCheckReport(100, 100, {u"x"_s}, true, {u"A"_s, u"B"_s}).split(u"\r\n"_s);
    EXPECT_EQ(report.mid(5, 2), (QStringList{u"A"_s, u"B"_s}));
    EXPECT_TRUE(report.value(7).startsWith(u" Atlanan adım sayısı: 1"_s));
}

// The report never shows a portal id: every step the upload can skip is named in words.
TEST(UploadCheckReport, SkippedStepsAreNamedInWords) {
    const QHash<QString, QString> lineFields{
        {u"gen__1077"_s, tavlix::portal::lineFieldName(3, u"KDV%"_s)}};
    const std::pair<QString, QString> cases[] = {
        {u"gen__1041"_s, u"Alıcı vergi dairesi"_s},
        {u"gen__1077"_s, u"Satır 3 KDV oranı"_s},
        {u"gen__1077 onay"_s, u"Satır 3 KDV oranı onayı"_s},
        {u"gen__1067 V9015"_s, u"Vergi V9015 seçimi"_s},
        {u"date-gen__1148"_s, u"İade faturası 2 tarihi"_s},
        {u"date-gen__4711"_s, u"Portal alanı"_s},
        {u"satır 2 eksik"_s, u"satır 2 eksik"_s},
    };
    for (const auto& [step, name] : cases)
        EXPECT_EQ(tavlix::portal::skippedStepName(step, lineFields), name) << step.toStdString();
    EXPECT_TRUE(uploadCheckReport(100, 100, {u"gen__1041"_s, u"gen__1105"_s, u"gen__1105"_s})
                    .endsWith(u" Atlanan adım sayısı: 3 (ilk atlananlar: Alıcı vergi dairesi, "
                              u"Notlar ve kaydetme)"_s));
}
