#include "app/HelpWindow.h"

#include "widgets/NamedControl.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tavlix {

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(u"HelpWindow"_s);
    setWindowTitle(u"Tavlix - Yardım"_s);
    auto* text = named<QLabel>(u"HelpText"_s, this);
    text->setWordWrap(true);
    text->setTextFormat(Qt::RichText);
    text->setText(
        u"<h3>Fatura nasıl düzenlenir ve yüklenir</h3><ol>"
        u"<li><b>Firma</b> kutusundan faturayı kesen firmayı seçin.</li>"
        u"<li><b>Fatura Türü</b>, para birimi, fatura tarihi ve gerekirse irsaliye bilgilerini "
        u"girin.</li>"
        u"<li><b>Alıcı</b> kutusundan müşteriyi seçin; yeni bir müşteri için "
        u"<b>Yeni Müşteri</b> düğmesiyle müşteri kartını doldurun.</li>"
        u"<li><b>Mal/Hizmet Ekle</b> ile satırları ekleyin; ek vergiler için "
        u"<b>VERGİ EKLE</b>'yi kullanın. Bir satıra tıklayarak onu silebilirsiniz.</li>"
        u"<li>Toplamları ve notları kontrol edin; faturayı <b>Excel Kaydet</b> ile "
        u"saklayabilir, <b>e-Mail Gönder</b> ile proforma olarak gönderebilirsiniz.</li>"
        u"<li><b>e-Arşiv</b> düğmesi faturayı e-Arşiv portalına yükler; portaldaki taslağı "
        u"kontrol edip onaylayın.</li>"
        u"<li>Kesilen faturaları <b>Fatura İndir</b> ile indirebilirsiniz.</li></ol>"
        u"<p>Bu menülerdeki her komut, ana penceredeki aynı adlı düğmeyle aynı işi yapar.</p>"_s);
    auto* close = named<QPushButton>(u"Command1"_s, u"KAPAT"_s, this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(520, 380);
}

} // namespace tavlix
