// Takes the README's pictures of the whole screen, window frames included: the main window on
// the demo data with a composed invoice, over it the check report an upload of that invoice ends
// with when the portal's total agrees, the question a change of type asks over the lines, and
// the mail panel opened for the invoice. Written as small PNGs.
// Usage: tavlix_screenshot <program folder> <invoice.png> <report.png> <question.png> <mail.png>
// (run by scripts/screenshot)
#include "app/MainWindow.h"
#include "mail/MailPanel.h"
#include "platform/QtTranslation.h"
#include "portal/UploadCheckReport.h"
#include "widgets/MessageBoxPrompt.h"
#include "widgets/ReportModel.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void choose(QComboBox* box, const QString& text) {
    box->setCurrentIndex(box->findText(text));
    box->setEditText(text);
}

// Few colours on flat surfaces: an indexed image keeps the file small and the text sharp.
bool saveScreen(QWidget& shown, const char* path) {
    QTest::qWait(500); // the window manager's frame and the last paint
    const QImage image = shown.screen()->grabWindow(0).toImage().convertToFormat(
        QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    if (image.save(QString::fromLocal8Bit(path), "PNG", 9))
        return true;
    std::fprintf(stderr, "tavlix_screenshot: %s could not be written\n", path);
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: tavlix_screenshot <program folder> <invoice.png> "
                             "<report.png> <question.png> <mail.png>\n");
        return 2;
    }
    qputenv("TAVLIX_PROGRAM_DIR", argv[1]);
    qputenv("TAVLIX_TODAY", "2026-03-16");
    QApplication app(argc, argv);
    tavlix::installQtTurkish(app); // the buttons as the program shows them
    tavlix::MainWindow window;
    if (!window.startUp())
        return 1;

    choose(window.findChild<QComboBox*>(u"Combo4"_s), u"Demo Yazılım Ltd. Şti."_s);
    window.companySelected();
    choose(window.findChild<QComboBox*>(u"Combo1"_s), u"SATIŞ"_s);
    window.invoiceTypeChosen();
    window.findChild<QComboBox*>(u"Combo5"_s)->setCurrentIndex(0);
    window.invoiceDateChosen();
    window.findChild<QComboBox*>(u"Combo3"_s)->setEditText(u"Anadolu Bilişim A.Ş. "_s);
    window.customerChosen();
    // Lines as the line editor computes them from the demo's stock cards.
    const QList<QStringList> lines = {
        {u"1"_s, u"Muhasebe Yazılımı Lisansı"_s, u"1"_s, u"Adet"_s, u"12.500,00"_s, u"0"_s,
         u"0,00"_s, u"12.500,00"_s, u"20"_s, u"2.500,00"_s},
        {u"2"_s, u"Yazılım Destek Hizmeti"_s, u"8"_s, u"Saat"_s, u"750,00"_s, u"0"_s, u"0,00"_s,
         u"6.000,00"_s, u"20"_s, u"1.200,00"_s},
        {u"3"_s, u"Konaklama Hizmeti"_s, u"2"_s, u"Gün"_s, u"1.500,00"_s, u"10"_s, u"300,00"_s,
         u"2.700,00"_s, u"10"_s, u"270,00"_s}};
    for (const QStringList& line : lines)
        window.lines().appendRow(line);
    window.yekunal();

    window.show();
    if (!QTest::qWaitForWindowExposed(&window) || !saveScreen(window, argv[2]))
        return 1;

    // The message box the upload ends with, as the upload's prompt shows it.
    QMessageBox report(
        QMessageBox::Information, tavlix::portal::uploadCheckReportTitle(),
        tavlix::portal::uploadCheckReport(window.checkTotal(), window.checkTotal(), {}),
        QMessageBox::Ok, &window);
    tavlix::keepTitleWhole(report);
    report.show();
    if (!QTest::qWaitForWindowExposed(&report) || !saveScreen(report, argv[3]))
        return 1;
    report.close();

    // Another type chosen over the lines: the question as the user meets it, answered "Hayır".
    bool questionSaved = false;
    QTimer answer;
    answer.setInterval(50);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        answer.stop();
        questionSaved = saveScreen(*box, argv[4]);
        box->button(QMessageBox::No)->click();
    });
    answer.start();
    // The focus moves, and a box is left, only in the active window.
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowActive(&window))
        return 1;
    auto* type = window.findChild<QComboBox*>(u"Combo1"_s);
    type->setFocus();
    type->setCurrentIndex(type->findText(u"İADE"_s));
    window.findChild<QLineEdit*>(u"Text11"_s)->setFocus();
    QTest::qWait(200);
    if (!questionSaved) {
        std::fprintf(stderr, "tavlix_screenshot: the question did not show\n");
        return 1;
    }

    auto* mail = window.findChild<tavlix::MailPanel*>(u"MailPanel"_s);
    mail->open(window.invoiceRecord(), QString::fromLocal8Bit(argv[1]) +
                                           u"/Firmalarım/Demo Yazılım Ltd. Şti./Fatura-1.xlsx"_s);
    return saveScreen(window, argv[5]) ? 0 : 1;
}
