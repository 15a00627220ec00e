// The saved-invoice buttons of the main window: "Excel Kaydet", the list List1, "Excel Yükle",
// "Excel SiL" and "e-Mail Gönder" with their colours.
#include "AppFixture.h"

#include "files/InvoiceWorkbook.h"
#include "files/SavedInvoicesPanel.h"
#include "invoice/InvoiceType.h"
#include "invoice/TaxColumns.h"
#include "store/WorkbookStore.h"
#include "support/Openpyxl.h"
#include "widgets/ReportModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace Qt::StringLiterals;

namespace tavlix::test {
namespace {

const QString kSavedFile = u"Alfa Ltd 07-12-2026 A-1 SATIŞ .xlsx"_s;

class SavedInvoices : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        // "Excel SiL" moves files to the trash of this test's own home.
        const QString home = programPath() + u"/ev"_s;
        QDir().mkpath(home + u"/.local/share"_s);
        m_home = qgetenv("HOME");
        m_dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("HOME", home.toUtf8());
        qputenv("XDG_DATA_HOME", (home + u"/.local/share"_s).toUtf8());
    }
    void TearDown() override {
        qputenv("HOME", m_home);
        if (m_dataHome.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", m_dataHome);
        AppFixture::TearDown();
    }

    QString folder() const { return programPath() + u"/Firmalarım/Alfa Ltd"_s; }

    void click(const QString& name) {
        auto* list = find<QListWidget>("List1");
        const auto items = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        list->scrollToItem(items.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(items.first()).center());
    }

    // "enabled" or "disabled" with the colour of each file button, in one comparable text.
    QString fileButtons() const {
        QStringList out;
        for (const char* name : {"Command3", "Command10", "Command11", "Command15"}) {
            auto* b = find<QPushButton>(name);
            out << QString::fromUtf8(name) + (b->isEnabled() ? u" on "_s : u" off "_s) +
                       b->styleSheet().section(u':', 1).remove(u';').trimmed();
        }
        return out.join(u", "_s);
    }

    QByteArray m_home;
    QByteArray m_dataHome;
};

const QString kAllOff = u"Command3 off #ffffff, Command10 off #ffffff, Command11 off #ffffff, "
                        u"Command15 off #ffffff"_s;
const QString kAllOn = u"Command3 on #c0ffc0, Command10 on #ffc0c0, Command11 on #c0ffc0, "
                       u"Command15 on #ffffc0"_s;

TEST_F(SavedInvoices, SaveClickImportMailAndDelete) {
    makeStandardData();
    start();
    selectCompany(u"Alfa Ltd"_s);
    chooseType(u"SATIŞ"_s);
    find<QLineEdit>("Text8")->setText(u"07/12/2026"_s);
    find<QLineEdit>("Text11")->setText(u"A/1"_s);
    m_window->lines().appendRow({u"1"_s, u"Danışmanlık"_s, u"2"_s, u"Saat"_s, u"10,00"_s, u"10"_s,
                                 u"2,00"_s, u"18,00"_s, u"18"_s, u"3,24"_s});
    m_window->yekunal();
    const QList<QStringList> totals = [&] {
        QList<QStringList> rows;
        for (int r = 0; r < m_window->totals().rowTotal(); ++r)
            rows << m_window->totals().rowCells(r);
        return rows;
    }();

    find<QPushButton>("Command9")->click();
    EXPECT_TRUE(boxes->texts().isEmpty()) << boxes->last().toStdString();
    EXPECT_TRUE(QFile::exists(folder() + u'/' + kSavedFile));
    EXPECT_EQ(items(find<QListWidget>("List1")), QStringList{kSavedFile});
    EXPECT_EQ(fileButtons(), kAllOff);

    click(kSavedFile);
    EXPECT_EQ(fileButtons(), kAllOn);
    EXPECT_EQ(m_window->currentSavedInvoice(), folder() + u'/' + kSavedFile);

    // "Excel Yükle" brings the same line back and recomputes the totals.
    m_window->lines().clearRows();
    m_window->totals().clearRows();
    find<QPushButton>("Command3")->click();
    ASSERT_EQ(m_window->lines().rowTotal(), 1);
    EXPECT_EQ(m_window->lines().cell(0, 9), u"3,24"_s);
    QList<QStringList> after;
    for (int r = 0; r < m_window->totals().rowTotal(); ++r)
        after << m_window->totals().rowCells(r);
    EXPECT_EQ(after, totals);

    // The mail panel stands in for the file buttons until "Vazgeç", which re-selects the file.
    find<QPushButton>("Command15")->click();
    auto* panel = find<QGroupBox>("MailPanel");
    EXPECT_TRUE(panel->isVisibleTo(m_window.get()));
    EXPECT_FALSE(find<QPushButton>("Command9")->isVisibleTo(m_window.get()));
    EXPECT_EQ(find<QLineEdit>("Text18")->text(), kSavedFile);
    find<QPushButton>("Command16")->click();
    EXPECT_FALSE(panel->isVisibleTo(m_window.get()));
    EXPECT_TRUE(find<QPushButton>("Command9")->isVisibleTo(m_window.get()));
    EXPECT_EQ(fileButtons(), kAllOn);

    // Saving again under the same name asks first; the default "Yeni Adla Kaydet" keeps both.
    const QString second = u"Alfa Ltd 07-12-2026 A-1 SATIŞ  (2).xlsx"_s;
    find<QPushButton>("Command9")->click();
    EXPECT_TRUE(boxes->last().startsWith(kSavedFile + u" zaten var."_s));
    EXPECT_EQ(fileButtons(), kAllOff);
    EXPECT_EQ(items(find<QListWidget>("List1")).size(), 2);
    EXPECT_EQ(find<QLabel>("SaveStatus")->text(), second + u" kaydedildi: "_s + folder());

    click(kSavedFile);
    find<QPushButton>("Command10")->click();
    EXPECT_FALSE(QFile::exists(folder() + u'/' + kSavedFile));
    EXPECT_EQ(items(find<QListWidget>("List1")), QStringList{second});
    EXPECT_EQ(fileButtons(), kAllOff);
    EXPECT_TRUE(m_window->currentSavedInvoice().isEmpty());
}

// "Excel Yükle" brings the header back: the buyer's card of today found by the saved tax number
// (with the saved type and return references), else the buyer as saved (a person); a workbook
// without a header loads its lines and says that the buyer must be chosen.
TEST_F(SavedInvoices, ExcelYukleRestoresTheHeaderFromTheCardOrTheSheet) {
    makeStandardData();
    start();
    selectCompany(u"Alfa Ltd"_s);
    const auto save = [&](int type, const QString& name, const QString& taxNumber,
                          const QStringList& references) {
        ReportModel layout;
        applyInvoiceType(layout, type);
        InvoiceRecord r;
        r.typeText = invoiceTypeText(type);
        r.lineHeaders = layout.headers();
        r.lines = {{u"1"_s, u"Kalem"_s, u"1"_s, u"Adet"_s, u"10,00"_s}};
        r.invoiceDate = u"05/12/2026"_s;
        r.customerName = name;
        r.customerFirstName = u"AYŞE"_s;
        r.taxNumber = taxNumber;
        r.taxOffice = u"ÇANKAYA"_s;
        r.returnReferences = references;
        ASSERT_TRUE(files::writeInvoiceWorkbook(r, folder() + u'/' + name + u".xlsx"_s));
    };
    save(Iade, u"Kara eski ad"_s, u"2222222222"_s, {u"ABC1---01/12/2026"_s});
    save(Satis, u"AYŞE YILDIRIM"_s, u"12345678901"_s, {});
    ASSERT_TRUE(
        writeWithOpenpyxl(folder() + u"/eski.xlsx"_s,
                          u"wb = openpyxl.Workbook(); ws = wb.active; ws.title = 'Sayfa1'\n"
                          u"ws.append(['s', 'Mal Hizmet Türü']); ws.append([None, 'Eski'])\n"
                          u"wb.save(path)"_s));
    m_window->savedInvoices().showFolder(folder()); // listed now, not when the watch reports
    const QString noHeader = u"Bu dosyada fatura bilgileri yok; yalnızca satırlar yüklendi. "
                             u"Alıcıyı müşteri listesinden seçiniz."_s;
    // type, buyer, tax office, date, first name, return references
    const std::tuple<QString, QString, QString> cases[] = {
        {u"Kara eski ad"_s, u"İADE|Kara ve AB|Konak|05/12/2026|AYŞE|ABC1---01/12/2026"_s, {}},
        {u"AYŞE YILDIRIM"_s, u"SATIŞ|AYŞE YILDIRIM|ÇANKAYA|05/12/2026|AYŞE"_s, {}},
        {u"eski"_s, u"SATIŞ||||"_s, noHeader}};
    for (const auto& [name, header, box] : cases) {
        SCOPED_TRACE(name.toStdString());
        m_window->lines().clearRows(); // a fresh invoice, its header empty
        m_window->setInvoiceTypeEnabled(true);
        chooseType(u"SATIŞ"_s);
        m_window->openCustomerSearch();
        find<QComboBox>("Combo3")->setEditText(QString());
        boxes->clear();
        click(name + u".xlsx"_s);
        find<QPushButton>("Command3")->click();
        EXPECT_EQ(boxes->texts(), box.isEmpty() ? QStringList() : QStringList{box});
        const InvoiceRecord r = m_window->invoiceRecord();
        EXPECT_EQ(r.lines.size(), 1);
        EXPECT_EQ((QStringList{r.typeText, r.customerName, r.taxOffice,
                               box.isEmpty() ? r.invoiceDate : QString(), r.customerFirstName} +
                   r.returnReferences)
                      .join(u'|'),
                  header);
        EXPECT_EQ(r.sourceWorkbook, name + u".xlsx"_s);
    }
}

// A saved invoice with a tax loads into a fresh invoice with its tax columns; an invoice that has
// lines under other columns refuses it and keeps its lines.
TEST_F(SavedInvoices, ExcelYukleBringsTheSavedTaxesIntoAFreshInvoice) {
    makeStandardData();
    start();
    selectCompany(u"Alfa Ltd"_s);
    chooseType(u"SATIŞ"_s);
    ReportModel& lines = m_window->lines();
    taxes::addTaxColumns(lines, u"V0059-KONAKLAMA VERGİSİ"_s);
    const QStringList headers = lines.headers(), kkdf = {u"V0061-KKDF%"_s, u"KKDF Tutarı"_s};
    lines.appendRow({u"1"_s, u"Oda"_s, u"3"_s, u"Gece"_s, u"1.234.567,89"_s, u"0"_s, u"0,00"_s,
                     u"3.703.703,67"_s, u"20"_s, u"740.740,73"_s, u"2,000"_s, QString()});
    find<QPushButton>("Command9")->click();
    const QString saved = items(find<QListWidget>("List1")).value(0);
    const QString tooWide = u"Yüklemeye çalıştığınız Excel'in sütun sayısı daha fazla ! Lütfen "
                            u"kontrol ediniz..."_s;
    const QString otherTax = u"V0059-KONAKLAMA VERGİSİ%  bu Excel Sütun Adı hatalı ! Lütfen "
                             u"orjinal bir Şablon kullanınız."_s;
    // The invoice's own tax column (V0061 or none), whether it has a line, the refusal.
    for (const auto& [own, withLine, refusal] :
         {std::tuple{false, true, tooWide}, {true, true, otherTax}, {true, false, QString()}}) {
        lines.clearRows(); // a fresh invoice of the type
        applyInvoiceType(lines, Satis);
        click(saved);
        if (own)
            taxes::addTaxColumns(lines, u"V0061-KKDF"_s);
        if (withLine)
            lines.appendRow({u"1"_s, u"Başka"_s});
        const QStringList before = lines.headers();
        boxes->clear();
        find<QPushButton>("Command3")->click();
        EXPECT_EQ(boxes->texts(), refusal.isEmpty() ? QStringList() : QStringList{refusal});
        EXPECT_EQ(lines.headers(), refusal.isEmpty() ? headers + kkdf : before);
        EXPECT_EQ(lines.cell(0, 1), withLine ? u"Başka"_s : u"Oda"_s);
    }
    // Loaded last: 3.703.703,67 + 740.740,73 VAT + 74.074,07 (2 %) + 0,00 (V0061), to the kuruş.
    EXPECT_EQ(m_window->totals().rowCells(3).value(2), u"74.074,07"_s);
    EXPECT_EQ(m_window->checkTotal(), 451851847);
}

TEST_F(SavedInvoices, ClickWithoutATypeEnablesNoFileButton) {
    makeStandardData();
    QDir().mkpath(programPath() + u"/Firmalarım/Alfa Ltd"_s);
    QFile file(folder() + u"/Eski Fatura.XLSX"_s);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    start();
    selectCompany(u"Alfa Ltd"_s);
    ASSERT_EQ(items(find<QListWidget>("List1")), QStringList{u"Eski Fatura.XLSX"_s});
    const QString before = fileButtons();
    click(u"Eski Fatura.XLSX"_s);
    EXPECT_EQ(fileButtons(), before);
    EXPECT_FALSE(find<QPushButton>("Command3")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("Command10")->isEnabled());
}

// The list follows its folder: what another program writes there or takes away shows within a
// second, the clicked file stays selected, and a clicked file taken away is no longer current.
TEST_F(SavedInvoices, ListFollowsItsFolderAndKeepsTheSelection) {
    makeStandardData();
    QDir().mkpath(folder());
    ASSERT_TRUE(QFile(folder() + u"/A.xlsx"_s).open(QIODevice::WriteOnly));
    start();
    selectCompany(u"Alfa Ltd"_s);
    chooseType(u"SATIŞ"_s);
    click(u"A.xlsx"_s);
    ASSERT_EQ(fileButtons(), kAllOn);
    auto* list = find<QListWidget>("List1");
    const auto listed = [&](const QStringList& names) {
        return QTest::qWaitFor([&] { return items(list) == names; }, 1000);
    };

    ASSERT_TRUE(
        test::writeWithOpenpyxl(folder() + u"/B.xlsx"_s, u"openpyxl.Workbook().save(path)"_s));
    EXPECT_TRUE(listed({u"A.xlsx"_s, u"B.xlsx"_s}));
    ASSERT_TRUE(QFile::remove(folder() + u"/B.xlsx"_s));
    EXPECT_TRUE(listed({u"A.xlsx"_s}));
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(), u"A.xlsx"_s);
    EXPECT_EQ(fileButtons(), kAllOn);

    ASSERT_TRUE(QFile::remove(folder() + u"/A.xlsx"_s));
    EXPECT_TRUE(listed({}));
    EXPECT_TRUE(m_window->currentSavedInvoice().isEmpty());
    EXPECT_EQ(fileButtons(), kAllOff);
}

// "Toplu e-Arşiv" on workbooks that cannot go: nothing ticked is said, each one's reason lands in
// the table without a browser, and the table saved beside them is not listed as an invoice.
TEST_F(SavedInvoices, SetOfUnsendableWorkbooksSaysWhyEach) {
    makeStandardData();
    start();
    selectCompany(u"Alfa Ltd"_s);
    chooseType(u"SATIŞ"_s);
    m_window->lines().appendRow({u"1"_s, u"Danışmanlık"_s, u"2"_s, u"Saat"_s, u"10,00"_s, u"0"_s,
                                 u"0,00"_s, u"20,00"_s, u"18"_s, u"3,60"_s});
    m_window->yekunal();
    find<QPushButton>("Command9")->click(); // no buyer chosen
    {
        auto book = store::Workbook::create();
        book->activeSheet()->setName(u"Sayfa1"_s);
        ASSERT_TRUE(book->saveAs(folder() + u"/şablon.xlsx"_s));
    }
    QTest::mouseClick(find<QPushButton>("CommandToplu"), Qt::LeftButton);
    QWidget* form = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == u"FormToplu"_s && w->isVisible())
            form = w;
    ASSERT_NE(form, nullptr);
    auto* list = form->findChild<QListWidget*>(u"ListToplu"_s);
    ASSERT_EQ(list->count(), 2);

    QTest::mouseClick(form->findChild<QPushButton*>(u"CommandBaslat"_s), Qt::LeftButton);
    EXPECT_EQ(boxes->last(), u"Yüklenecek kayıtlı fatura seçilmedi."_s);
    QTest::mouseClick(form->findChild<QPushButton*>(u"CommandHepsiniSec"_s), Qt::LeftButton);
    QTest::mouseClick(form->findChild<QPushButton*>(u"CommandBaslat"_s), Qt::LeftButton);
    auto* table = form->findChild<QTableWidget*>(u"TableToplu"_s);
    ASSERT_EQ(table->rowCount(), 2);
    QStringList outcomes;
    for (int r = 0; r < 2; ++r)
        outcomes << table->item(r, 7)->text();
    EXPECT_TRUE(outcomes[0].startsWith(u"atlandı: Alıcı bilgileri eksik"_s))
        << outcomes[0].toStdString();
    EXPECT_EQ(outcomes[1], u"atlandı: \"Fatura Bilgileri\" sayfası yok"_s);
    EXPECT_EQ(form->findChild<QLabel*>(u"LabelOzet"_s)->text(), u"2 fatura: 2 atlandı."_s);

    boxes->clear();
    QTest::mouseClick(form->findChild<QPushButton*>(u"CommandTabloKaydet"_s), Qt::LeftButton);
    const QStringList tables = QDir(folder()).entryList({u"Toplu Yükleme *.xlsx"_s});
    ASSERT_EQ(tables.size(), 1) << boxes->last().toStdString();
    const QJsonObject cells =
        readWithOpenpyxl(folder() + u'/' + tables.first())[u"cells"_s][u"Toplu Yükleme"_s]
            .toObject();
    EXPECT_EQ(cells[u"A1"_s].toString(), u"Kayıtlı Fatura"_s);
    EXPECT_EQ(cells[u"H3"_s].toString(), outcomes[1]);
    EXPECT_EQ(cells[u"A5"_s].toString(), u"2 fatura: 2 atlandı."_s);
    QTest::qWait(300); // the folder watch reports the new file
    EXPECT_EQ(items(find<QListWidget>("List1")).size(), 2) << "the table is no saved invoice";
    form->close();
}

} // namespace
} // namespace tavlix::test
