// Start-up of the main window: folders, workbook creation, the two program modes, the lists read
// from DATA.xlsx, and the failures that end the program.
#include "AppFixture.h"

#include "app/AboutWindow.h"
#include "store/WorkbookStore.h"
#include "support/Files.h"
#include "widgets/ReportModel.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

using StartUp = AppFixture;

TEST_F(StartUp, MissingUpdaterEndsTheProgramWithItsWarning) {
    QFile::remove(programPath() + u"/TavlixUpdate"_s);
    makeStandardData();
    MainWindow w;
    EXPECT_FALSE(w.startUp());
    ASSERT_EQ(boxes->texts().size(), 1);
    EXPECT_EQ(boxes->last(), u"Programa devam edebilmek için (TavlixUpdate)'nin Tavlix klasöründe "
                             u"bulunması gereklidir."_s);
    EXPECT_EQ(boxes->icons().first(), QMessageBox::Warning);
    EXPECT_FALSE(QDir(programPath() + u"/Firmalarım/Alfa Ltd"_s).exists())
        << "nothing else may run";
}

TEST_F(StartUp, AProgramFolderThatCannotBeMadeEndsTheProgramNamingIt) {
    writeFile(programPath() + u"/dosya"_s, "bir dosya");
    const QString folder = programPath() + u"/dosya/Tavlix"_s;
    qputenv("TAVLIX_PROGRAM_DIR", folder.toUtf8());
    MainWindow w;
    EXPECT_FALSE(w.startUp());
    ASSERT_EQ(boxes->texts().size(), 1);
    EXPECT_TRUE(boxes->last().contains(folder)) << boxes->last().toStdString();
    EXPECT_EQ(boxes->icons().first(), QMessageBox::Critical);
}

TEST_F(StartUp, TheImportMenuBringsAnOldFolderIntoTheFirstStartsFolder) {
    start(); // the first start makes an empty DATA.xlsx
    QTemporaryDir old;
    ASSERT_TRUE(old.isValid());
    writeFile(old.path() + u"/Data/DATA.xlsx"_s, "eski kitap");
    writeFile(old.path() + u"/Firmalarım/Alfa Ltd/Satış Faturaları/Pdf/F1.pdf"_s, "pdf");
    QAction* import = m_window->findChild<QAction*>(u"menuVeriAl"_s);
    ASSERT_NE(import, nullptr);
    EXPECT_EQ(import->text(), u"Verileri Başka Klasörden Al…"_s);
    bool picked = false;
    QTimer pick;
    QObject::connect(&pick, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            dialog && dialog->objectName() == u"VeriAlKlasoru"_s) {
            // The folder shown, nothing ticked in it: selecting the folder's own entry would race
            // with the dialog's listing of its parent and could leave the parent chosen.
            dialog->setDirectory(old.path());
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog's own is protected
            picked = true;
        }
    });
    pick.start(20);
    boxes->clear();
    import->trigger();
    EXPECT_TRUE(picked);
    EXPECT_TRUE(boxes->last().contains(u"kopyalandı"_s)) << boxes->last().toStdString();
    EXPECT_EQ(readAll(dataPath()), "eski kitap");
    EXPECT_EQ(readAll(programPath() + u"/Firmalarım/Alfa Ltd/Satış Faturaları/Pdf/F1.pdf"_s),
              "pdf");
}

TEST_F(StartUp, MissingWorkbookIsCreatedAndTheProgramGoesOnWithNoCompany) {
    start();
    EXPECT_EQ(boxes->texts(),
              QStringList{u"Veritabanı bulunamadı. Yeni bir DATA.xlsx oluşturulacak."_s});
    EXPECT_EQ(boxes->icons().first(), QMessageBox::Information);
    auto book = store::Workbook::open(dataPath());
    ASSERT_TRUE(book.ok());
    EXPECT_EQ(book.value()->sheet(u"prgDATA"_s)->text(23, 1), u"HIZ DÜŞÜR %(TAM SAYI)"_s);
    auto* combo4 = find<QComboBox>("Combo4");
    EXPECT_EQ(combo4->count(), 0);
    EXPECT_EQ(combo4->currentText(), u"Firmalarım"_s);
    EXPECT_TRUE(combo4->isEnabled());
}

TEST_F(StartUp, VersionCaptionAndAboutWindowShowTheSameDigits) {
    makeStandardData();
    const QString caption = u"Versiyon "_s + QString::fromLatin1(TAVLIX_PROJECT_VERSION);
    EXPECT_EQ(MainWindow().findChild<QLabel*>(u"Label21"_s)->text(), caption) << "before start-up";
    start();
    EXPECT_EQ(find<QLabel>("Label21")->text(), caption);
    QAction* about = nullptr;
    for (QAction* a : m_window->menuBar()->actions()) {
        if (a->text() == u"Hakkında"_s)
            about = a;
    }
    ASSERT_NE(about, nullptr);
    about->trigger();
    QWidget* form6 = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == u"Form6"_s)
            form6 = w;
    }
    ASSERT_NE(form6, nullptr);
    EXPECT_TRUE(form6->isVisible());
    EXPECT_EQ(form6->windowTitle(), u"Tavlix - Hakkında"_s);
    EXPECT_EQ(u"Versiyon "_s + form6->findChild<QLineEdit*>(u"Text1"_s)->text(),
              find<QLabel>("Label21")->text());
    form6->close();
    EXPECT_FALSE(form6->isVisible());
    about->trigger();
    EXPECT_TRUE(form6->isVisible()) << "closing hides; the next click shows it again";
}

TEST_F(StartUp, LowerCaseSSelectsSingleModeWithTheMainCompanyLoaded) {
    makeStandardData(u"s"_s);
    QDir().mkpath(programPath() + u"/Firmalarım/Alfa Ltd"_s);
    start();
    auto* combo4 = find<QComboBox>("Combo4");
    EXPECT_FALSE(combo4->isEnabled());
    EXPECT_EQ(combo4->currentText(), u"Alfa Ltd"_s);
    EXPECT_EQ(find<QLineEdit>("Text1")->text(), u"2"_s);
    EXPECT_EQ(m_window->companySettings().userNot1, u"Not bir"_s);
    EXPECT_EQ(find<QPlainTextEdit>("Text6")->toPlainText(), u"• Not bir\n• Not iki\n• Not üç\n"_s)
        << "the notes keep their line breaks";
    EXPECT_EQ(find<QComboBox>("Combo3")->count(), 3);
}

TEST_F(StartUp, SeveralCompaniesModeListsNonEmptyColumnsUpToColumn21Only) {
    makeData([](store::Workbook& book) {
        store::Worksheet& prg = *book.sheet(u"prgDATA"_s);
        prg.writeText(2, 2, u"Birinci"_s);
        prg.writeText(2, 5, u"Dördüncü"_s);
        prg.writeText(2, 22, u"Yirmiikinci"_s); // column V
        prg.writeText(15, 2, u"M"_s);
    });
    start();
    auto* combo4 = find<QComboBox>("Combo4");
    EXPECT_EQ(items(combo4), (QStringList{u"Birinci"_s, u"Dördüncü"_s}));
    EXPECT_EQ(combo4->currentText(), u"Firmalarım"_s);
    EXPECT_TRUE(combo4->isEnabled());
    EXPECT_TRUE(QDir(programPath() + u"/Firmalarım/Dördüncü/Satış Faturaları/Pdf"_s).exists());
    EXPECT_FALSE(QDir(programPath() + u"/Firmalarım/Yirmiikinci"_s).exists());
}

TEST_F(StartUp, CodeListsStopAtTheFirstGapOfTheirOwnColumn) {
    makeData([](store::Workbook& book) {
        store::Worksheet& kod = *book.sheet(u"kodDATA"_s);
        kod.writeText(2, 8, u"SATIŞ"_s);
        kod.writeText(3, 8, u"İADE"_s);
        kod.writeText(5, 8, u"İSTİSNA"_s); // row 4 is a gap
        kod.writeText(2, 12, u"Türk Lirası"_s);
        kod.writeText(3, 12, u"Euro"_s);
        kod.writeText(4, 12, u"ABD Doları"_s);
        kod.writeText(2, 10, u"Türkiye"_s);
    });
    start();
    EXPECT_EQ(items(find<QComboBox>("Combo1")), (QStringList{u"SATIŞ"_s, u"İADE"_s}));
    EXPECT_EQ(find<QComboBox>("Combo1")->currentText(), u"Fatura Türü Seçin"_s);
    EXPECT_EQ(items(find<QComboBox>("Combo2")),
              (QStringList{u"Türk Lirası"_s, u"Euro"_s, u"ABD Doları"_s}));
    EXPECT_EQ(find<QComboBox>("Combo2")->currentText(), u"Türk Lirası"_s);
    EXPECT_EQ(m_window->countries(), QStringList{u"Türkiye"_s});
}

TEST_F(StartUp, InvoiceDatesAreTodayAndTheSevenDaysBefore) {
    makeStandardData();
    setToday(QDate(2023, 3, 1));
    start();
    const QStringList dates = items(find<QComboBox>("Combo5"));
    ASSERT_EQ(dates.size(), 8);
    EXPECT_EQ(dates.first(), u"01.03.2023"_s);
    EXPECT_EQ(dates.last(), u"22.02.2023"_s);
}

TEST_F(StartUp, FreshInvoiceHasTheTenBaseColumns) {
    makeStandardData();
    start();
    EXPECT_EQ(m_window->lines().columnTotal(), 10);
    EXPECT_EQ(m_window->lines().column(1).header, u"Mal Hizmet Türü"_s);
    EXPECT_FALSE(find<QPushButton>("Command3")->isEnabled());
}

TEST_F(StartUp, UnreadableWorkbookEndsTheProgramWithAMessageAndStaysAsItWas) {
    QFile f(dataPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("bu bir çalışma kitabı değil");
    f.close();
    const QByteArray before = fileDigest(dataPath());
    MainWindow w;
    EXPECT_FALSE(w.startUp());
    ASSERT_EQ(boxes->texts().size(), 1);
    EXPECT_TRUE(boxes->last().startsWith(u"DATA.xlsx okunamadı"_s)) << boxes->last().toStdString();
    EXPECT_EQ(fileDigest(dataPath()), before);
}

TEST_F(StartUp, WorkbookWithoutItsSheetsEndsTheProgramWithAMessage) {
    auto book = store::Workbook::create();
    ASSERT_TRUE(book->saveAs(dataPath()).ok());
    MainWindow w;
    EXPECT_FALSE(w.startUp());
    ASSERT_EQ(boxes->texts().size(), 1);
    EXPECT_TRUE(boxes->last().contains(u"prgDATA"_s)) << boxes->last().toStdString();
}

TEST_F(StartUp, UnsafeCompanyNameGetsNoFolderAndAWarningNamingIt) {
    makeData([](store::Workbook& book) {
        store::Worksheet& prg = *book.sheet(u"prgDATA"_s);
        prg.writeText(2, 2, u"../Dışarı"_s);
        prg.writeText(2, 3, u"İyi Firma"_s);
    });
    start();
    ASSERT_EQ(boxes->texts().size(), 1);
    EXPECT_TRUE(boxes->last().contains(u"../Dışarı"_s)) << boxes->last().toStdString();
    EXPECT_FALSE(QDir(programPath() + u"/Dışarı"_s).exists());
    EXPECT_TRUE(QDir(programPath() + u"/Firmalarım/İyi Firma/Alış Faturaları"_s).exists());
}

TEST_F(StartUp, MissingProgramFoldersAreMade) {
    QDir(programPath() + u"/prgDosyaları"_s).removeRecursively();
    QDir(programPath() + u"/Firmalarım"_s).removeRecursively();
    makeStandardData();
    start();
    EXPECT_TRUE(QDir(programPath() + u"/prgDosyaları"_s).exists());
    EXPECT_TRUE(QDir(programPath() + u"/Firmalarım/Beta AŞ"_s).exists());
}

} // namespace
} // namespace tavlix::test
