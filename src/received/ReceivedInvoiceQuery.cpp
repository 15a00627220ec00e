#include "received/ReceivedInvoiceQuery.h"

#include "browser/BrowserDriver.h"
#include "platform/ProgramFolder.h"
#include "platform/TurkishText.h"
#include "platform/UserPrompt.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>

using namespace Qt::StringLiterals;

namespace tavlix::received {

using browser::BrowserDriver;
using browser::Element;

namespace {

constexpr int kColumns = 11;
const QString kDateFormat = QStringLiteral("dd-MM-yyyy");

// How a step ended when it did not simply succeed.
enum class Stop { Cancelled, Failed };

// A step's outcome: fine, or why the query stops. A failure has told the user already.
using Step = std::optional<Stop>;

QString errorNumberText(const Error& error) {
    return u" Bir hata oluştu !  Hata No: "_s + QString::number(static_cast<int>(error.code) + 1) +
           u"\n"_s + error.message;
}

// The number after the last ':' of a paging text ("Toplam Kayıt: 57" → 57); -1 when none.
int pagingCount(const QString& text) {
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon < 0)
        return -1;
    const QString rest = text.mid(colon + 1).trimmed();
    qsizetype digits = 0;
    while (digits < rest.size() && rest.at(digits).isDigit())
        ++digits;
    bool ok = false;
    const int count = rest.left(digits).toInt(&ok);
    return ok ? count : -1;
}

QString lowered(const QString& text) {
    return turkishLower(text.simplified());
}

class QueryRun {
public:
    QueryRun(const ReceivedInvoiceRequest& request, UserPrompt& prompt, CaptchaBox& captcha)
        : m_request(request)
        , m_prompt(prompt)
        , m_captcha(captcha) {
        m_driver.setKeepAlive([this] { m_prompt.keepAlive(); });
        m_driver.setStopCheck([this] { return m_prompt.cancelled(); });
    }

    ReceivedInvoiceResult run();

private:
    Step fail(const Error& error) {
        if (m_prompt.cancelled()) // a step cut short by "İptal" is no failure to report
            return Stop::Cancelled;
        m_prompt.message(UserPrompt::Icon::Critical, errorNumberText(error));
        return Stop::Failed;
    }
    template <typename T> bool failed(const Result<T>& result, Step& step) {
        if (result)
            return false;
        step = fail(result.error());
        return true;
    }
    Step cancelCheck() const { return m_prompt.cancelled() ? Step(Stop::Cancelled) : std::nullopt; }
    // Lets the window work for about `ms` milliseconds.
    void idle(int ms) {
        m_prompt.keepAlive();
        QThread::msleep(static_cast<unsigned long>(ms));
    }

    Step login(const IvdCredentials& credentials);
    Step waitForCaptcha();
    // True when the site answered with its message box (and that box was put away).
    Result<bool> siteMessage();
    Step openInvoicePage();
    // The site's answer to one query: the rows its paging text counts, those its page shows,
    // and the text of its message box when it showed one.
    struct Answer {
        int count = 0;
        QList<QStringList> rows;
        QString notice;
    };
    Step queryRange(const DateRange& range, Answer& out);
    // Queries the range, then its halves down to single days, until each answer fits its page;
    // a day that does not fit is kept as far as shown.
    Step queryWhole(const DateRange& range);
    Result<void> typeDate(int position, const QString& date);
    // What the page shows after "Sorgula": the text of the site's message box (empty when none)
    // and whether its table is there. Neither after 5 s: both empty.
    struct Shown {
        QString box;
        bool table = false;
    };
    Shown awaitAnswer();
    Result<void> readRows(int count, QList<QStringList>& rows);
    Result<void> clickValue(const QString& value);

    const ReceivedInvoiceRequest& m_request;
    UserPrompt& m_prompt;
    CaptchaBox& m_captcha;
    BrowserDriver m_driver;
    QList<QStringList> m_rows;
    QList<EmptyRange> m_emptyRanges;
    int m_reported = 0;
};

ReceivedInvoiceResult QueryRun::run() {
    ReceivedInvoiceResult result;
    if (m_prompt.cancelled()) {
        result.outcome = ReceivedInvoiceResult::Outcome::Cancelled;
        return result;
    }
    const auto credentials =
        readIvdCredentials(m_request.dataPath, m_request.company, m_request.lastCompanyColumn);
    const auto month = parsePeriod(m_request.period);
    const auto path =
        month ? receivedListPath(m_request.programDir, m_request.company, *month) : std::nullopt;
    if (!credentials || !month || !path) {
        m_prompt.message(UserPrompt::Icon::Warning,
                         !credentials ? credentials.message()
                         : !month
                             ? u"Sorgu dönemi okunamadı: "_s + m_request.period
                             : u"Firma adı klasör adı olarak kullanılamaz: "_s + m_request.company);
        return result;
    }

    Step step = login(*credentials);
    if (!step)
        step = openInvoicePage();
    if (!step) {
        m_prompt.progress(u" Fatura indirme işlemi başlıyor..."_s);
        m_driver.Wait(20);
        for (const DateRange& range : monthRanges(*month)) {
            if ((step = queryWhole(range)))
                break;
        }
    }
    // The session ends before anything is written, whatever happened in it.
    if (m_driver.started())
        m_driver.CloseWindow();
    m_driver.Quit();

    if (step || (step = cancelCheck())) {
        result.outcome = *step == Stop::Cancelled ? ReceivedInvoiceResult::Outcome::Cancelled
                                                  : ReceivedInvoiceResult::Outcome::Failed;
        return result;
    }
    result.reported = m_reported;
    result.written = static_cast<int>(m_rows.size());
    result.emptyRanges = m_emptyRanges;
    // A list missing rows never takes the place of a complete one.
    const QString target = result.incomplete() ? incompleteListPath(*path) : *path;
    if (const auto saved = writeReceivedInvoices(target, m_rows, result.reported - result.written);
        !saved) {
        m_prompt.message(UserPrompt::Icon::Critical,
                         u"Fatura listesi kaydedilemedi: "_s + saved.message());
        return result;
    }
    result.outcome = ReceivedInvoiceResult::Outcome::Saved;
    result.path = target;
    if (result.incomplete())
        m_prompt.message(UserPrompt::Icon::Warning,
                         u"Site %1 fatura bildirdi, %2 fatura sayfalarda gösterilmediği için "
                         u"okunamadı. Eksik liste ayrı kaydedildi: %3"_s.arg(result.reported)
                             .arg(result.reported - result.written)
                             .arg(QFileInfo(target).fileName()));
    return result;
}

Step QueryRun::login(const IvdCredentials& credentials) {
    Step step;
    m_driver.AddBrowserArgument(u"--headless"_s);
    if (failed(m_driver.StartBrowser(u"Chrome"_s), step))
        return step;
    const QString captchaFile = m_request.programDir + u"/Data/captcha.jpg"_s;
    for (;;) {
        if (failed(m_driver.OpenPage(m_request.siteUrl), step))
            return step;
        if (m_driver.IsPresent(u"gen__1064"_s, 5000)) {
            if (const auto box = m_driver.FindById(u"gen__1064"_s))
                m_driver.Click(*box);
        }
        const auto picture = m_driver.FindById(u"gen__1061"_s);
        if (failed(picture, step))
            return step;
        const auto image = m_driver.CaptureElementImage(*picture);
        if (failed(image, step))
            return step;
        QDir().mkpath(QFileInfo(captchaFile).absolutePath());
        image->save(captchaFile, "JPG"); // a copy for the user; the window shows the image itself
        m_captcha.showCaptcha(*image);

        if ((step = waitForCaptcha()))
            return step;

        const std::pair<const char*, QString> fields[] = {{"gen__1058", credentials.userCode},
                                                          {"gen__1059", credentials.password},
                                                          {"gen__1064", m_captcha.typedCaptcha()}};
        for (const auto& [id, text] : fields) {
            const auto field = m_driver.FindById(QString::fromLatin1(id));
            if (failed(field, step) || failed(m_driver.TypeText(*field, text), step))
                return step;
        }
        const auto submit = m_driver.FindById(u"gen__1068"_s);
        if (failed(submit, step) || failed(m_driver.Click(*submit), step))
            return step;
        m_driver.Wait(100);

        const auto message = siteMessage();
        if (failed(message, step))
            return step;
        if (!*message)
            return std::nullopt;
        m_captcha.clearCaptcha();
    }
}

Step QueryRun::waitForCaptcha() {
    for (;;) {
        if (m_prompt.cancelled())
            return Stop::Cancelled;
        if (m_captcha.typedCaptcha().size() == 6)
            return std::nullopt;
        idle(30);
    }
}

Result<bool> QueryRun::siteMessage() {
    // The site's answer is its message box or, once logged in, the search box: either ends
    // the two seconds the message box is given.
    static const QString probe =
        u"return document.querySelector('.csc-msgbox') ? 'mesaj'"
        u" : (document.getElementById('gen__1017-searchBox') ? 'giris' : '');"_s;
    QElapsedTimer waited;
    waited.start();
    QString answer;
    for (;;) {
        const auto probed = m_driver.RunScript(probe);
        answer = probed ? probed->toString() : QString();
        if (!answer.isEmpty() || waited.elapsed() >= 2000)
            break;
        m_driver.Wait(50);
    }
    if (answer != u"mesaj"_s)
        return false;
    auto node = m_driver.FindByClass(u"csc-msgbox"_s);
    for (const char* tag : {"table", "tr", "td", "span"}) {
        if (!node)
            break;
        node = m_driver.FindFirstByTagIn(*node, QString::fromLatin1(tag));
    }
    if (node) {
        if (const auto text = m_driver.ReadText(*node))
            m_prompt.progress(*text);
    }
    if (auto closed = clickValue(u"Tamam"_s); !closed)
        return closed.error();
    return true;
}

Step QueryRun::openInvoicePage() {
    if (!m_driver.IsPresent(u"gen__1017-searchBox"_s, 4000)) {
        if (m_prompt.cancelled())
            return Stop::Cancelled;
        m_prompt.message(UserPrompt::Icon::Warning,
                         u"İnteraktif VD'ne giriş yapılamadı. Bu durum genellikle site yoğunken "
                         u"yaşanır. Lütfen daha sonra tekrar deneyiniz."_s);
        return Stop::Failed;
    }
    Step step;
    m_driver.Wait(200);
    const auto search = m_driver.FindById(u"gen__1017-searchBox"_s);
    if (failed(search, step) || failed(m_driver.Click(*search), step) ||
        failed(m_driver.TypeText(*search, u"E-Arşiv"_s), step))
        return step;
    m_driver.Wait(20);
    const auto entries = m_driver.FindAllByClass(u"favoriteClass"_s);
    if (failed(entries, step))
        return step;
    for (const Element& entry : *entries) {
        if (const auto text = m_driver.ReadText(entry); text && *text == u"E-Arşiv Faturalarım"_s) {
            if (failed(m_driver.Click(entry), step))
                return step;
            break;
        }
    }
    m_driver.IsPresent(u"csc-form-fieldset"_s, 5000);
    return cancelCheck();
}

Step QueryRun::queryWhole(const DateRange& range) {
    Answer answer;
    if (Step step = queryRange(range, answer))
        return step;
    const QDate from = QDate::fromString(range.from, kDateFormat);
    const QDate to = QDate::fromString(range.to, kDateFormat);
    if (answer.count > answer.rows.size() && from.isValid() && from < to) {
        const QDate middle = from.addDays(from.daysTo(to) / 2);
        const DateRange halves[] = {{range.from, middle.toString(kDateFormat)},
                                    {middle.addDays(1).toString(kDateFormat), range.to}};
        for (const DateRange& half : halves) {
            if (Step step = queryWhole(half))
                return step;
        }
        return std::nullopt;
    }
    m_reported += answer.count;
    m_rows << answer.rows;
    if (answer.count == 0 && !answer.notice.isEmpty())
        m_emptyRanges << EmptyRange{range, answer.notice};
    return std::nullopt;
}

Step QueryRun::queryRange(const DateRange& range, Answer& out) {
    Step step;
    if (failed(typeDate(1, range.from), step) || failed(typeDate(2, range.to), step))
        return step;
    m_prompt.progress(range.from + u" - "_s + range.to + u" arası sorgulanıyor."_s);
    if (failed(clickValue(u"Sorgula"_s), step))
        return step;

    const Shown shown = awaitAnswer();
    if (!shown.box.isEmpty()) {
        // A box the query knows as an error (an expired session, a lost connection) leaves the
        // range unread, so the month is not saved; any other box is the site's word for a range
        // without invoices, whatever its wording, and is kept for the user to read.
        if (isSiteError(shown.box)) {
            if (m_prompt.cancelled())
                return Stop::Cancelled;
            m_prompt.message(
                UserPrompt::Icon::Warning,
                u"İnteraktif Vergi Dairesi %1 - %2 arası sorguyu şu mesajla yanıtladı: \"%3\" "
                u"Fatura listesi kaydedilmedi; lütfen daha sonra tekrar deneyiniz."_s.arg(
                    range.from, range.to, shown.box));
            return Stop::Failed;
        }
        out.notice = shown.box;
        if (failed(clickValue(u"Tamam"_s), step))
            return step;
    }
    if (shown.table || shown.box.isEmpty()) {
        m_driver.IsPresent(u"csc-table-paging-info"_s, 5000);
        const auto paging = m_driver.FindByClass(u"csc-table-paging-info"_s);
        if (failed(paging, step))
            return step;
        const auto text = m_driver.ReadText(*paging);
        if (failed(text, step))
            return step;
        m_driver.Wait(200);
        const int count = pagingCount(*text);
        if (count < 0) {
            step = fail(
                makeError(ErrorCode::BadFormat, u"Sitenin kayıt sayısı okunamadı: "_s + *text));
            return step;
        }
        out.count = count;
        if (count > 0 && failed(readRows(count, out.rows), step))
            return step;
    }
    if (failed(clickValue(u"Yeni Sorgu"_s), step))
        return step;
    return cancelCheck();
}

Result<void> QueryRun::typeDate(int position, const QString& date) {
    const auto input =
        m_driver.FindByXPath(u"(//input[starts-with(@id,'date-')])[%1]"_s.arg(position));
    if (!input)
        return input.error();
    if (auto clicked = m_driver.Click(*input); !clicked)
        return clicked;
    m_driver.Wait(10);
    if (auto typed = m_driver.TypeText(*input, date); !typed)
        return typed;
    m_driver.Wait(20);
    return {};
}

QueryRun::Shown QueryRun::awaitAnswer() {
    // Either answer ends the wait: the site's message box or its table. The box's own span is
    // read first, else the first span of its first cell; a box is awaited until it shows text.
    static const QString probe =
        u"const span = document.querySelector('span.csc-msgbox-msg-span');"
        u"const box = document.querySelector('.csc-msgbox');"
        u"const table = !!document.querySelector('.csc-table-paging-info');"
        u"if (span || box) {"
        u"  const shown = span || box.querySelector('table tr td span') || box;"
        u"  const text = shown.innerText.trim();"
        u"  return text ? [text, table] : null;"
        u"}"
        u"return table ? ['', true] : null;"_s;
    QElapsedTimer waited;
    waited.start();
    do {
        const auto answer = m_driver.RunScript(probe);
        const QVariantList shown = answer ? answer->toList() : QVariantList();
        if (shown.size() == 2)
            return {shown.at(0).toString().simplified(), shown.at(1).toBool()};
        m_driver.Wait(50);
    } while (waited.elapsed() < 5000);
    return {};
}

Result<void> QueryRun::readRows(int count, QList<QStringList>& rows) {
    const auto table = m_driver.FindByXPath(u"//table[@rel='faturaTable']"_s);
    if (!table)
        return table.error();
    const auto tableId = m_driver.ReadAttribute(*table, u"id"_s);
    if (!tableId)
        return tableId.error();
    auto node = m_driver.FindById(tableId->left(10) + u'b');
    for (const char* tag : {"tr", "td", "span"}) {
        if (!node)
            return node.error();
        node = m_driver.FindFirstByTagIn(*node, QString::fromLatin1(tag));
    }
    if (!node)
        return node.error();
    const auto firstId = m_driver.ReadAttribute(*node, u"id"_s);
    if (!firstId)
        return firstId.error();
    bool ok = false;
    const int first = firstId->right(4).toInt(&ok);
    if (!ok)
        return makeError(ErrorCode::BadFormat, u"Fatura tablosu okunamadı: "_s + *firstId);

    // One script reads every cell by its consecutive id and stops at the first id that is not
    // on the page: rows the site announced but did not show are not invented.
    const QString script =
        u"const out = [];"
        u"for (let i = %1; i < %2; ++i) {"
        u"  const e = document.getElementById('gen__' + i);"
        u"  if (!e) break;"
        u"  out.push(e.innerText.trim());"
        u"}"
        u"return out;"_s.arg(first)
            .arg(static_cast<qint64>(first) + static_cast<qint64>(count) * kColumns);
    const auto texts = m_driver.RunScript(script);
    if (!texts)
        return texts.error();
    const QVariantList cells = texts->toList();
    for (qsizetype r = 0; (r + 1) * kColumns <= cells.size(); ++r) {
        QStringList row;
        for (int c = 0; c < kColumns; ++c)
            row << cells.at(r * kColumns + c).toString();
        rows << row;
    }
    return {};
}

Result<void> QueryRun::clickValue(const QString& value) {
    const auto element = m_driver.FindElementByValue(value);
    if (!element)
        return element.error();
    return m_driver.Click(*element);
}

} // namespace

QString ivdStartUrl() {
    return serviceUrl("TAVLIX_IVD_URL", u"https://ivd.gib.gov.tr/"_s);
}

bool isSiteError(const QString& text) {
    static const QStringList loginMessages = {
        u"Doğrulama hatası Lütfen doğrulama kodunu kontrol ediniz."_s,
        u"Kullanıcı doğrulanamadı, kullanıcı kodu veya şifre hatalı"_s,
        u"Doğrulama hatası java.lang.Exception: Verilen key 'VDKODU' veriler içinde bulunamadı!"_s,
        u"Bağlantı hatası"_s,
        u"Bir sistem hatası oluştu. Hata detayı:java.lang.RuntimeException: Bağlantı hatası"_s,
        u"Lütfen tüm alanları eksiksiz doldurarak tekrar deneyin!"_s,
        u"Bir sistem hatası oluştu. Hata detayı:Bağlantı hatası"_s};
    const QString shown = lowered(text);
    for (const QString& known : loginMessages) {
        if (shown == lowered(known))
            return true;
    }
    for (const QString& word : {u"oturum"_s, u"bağlantı"_s, u"hata"_s}) {
        if (shown.contains(word))
            return true;
    }
    return false;
}

QString completionStatus(const ReceivedInvoiceResult& result) {
    QString status = u" Fatura listesi indirildi."_s;
    for (const EmptyRange& empty : result.emptyRanges)
        status +=
            u" %1 - %2 arası boş: \"%3\""_s.arg(empty.range.from, empty.range.to, empty.notice);
    if (result.incomplete())
        status += u" Site %1 fatura bildirdi, sayfalarda %2 fatura vardı: liste eksik."_s
                      .arg(result.reported)
                      .arg(result.written);
    return status;
}

ReceivedInvoiceResult queryReceivedInvoices(const ReceivedInvoiceRequest& request,
                                            UserPrompt& prompt, CaptchaBox& captcha) {
    QueryRun run(request, prompt, captcha);
    return run.run();
}

} // namespace tavlix::received
