// The browser-automation operations every portal operation uses, as a W3C WebDriver client over
// libcurl driving Chromium through its own chromedriver process. One object is one browser
// session (PortalSession): it owns the driver and the browser, and ending it — destructor,
// exception, early return — ends both.
#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

namespace tavlix::browser {

class ActionChain;

// A W3C element reference of the session that found it.
struct Element {
    QString ref;
    bool valid() const { return !ref.isEmpty(); }
};
using ElementList = QList<Element>;

// Keys for SendKeysToPage and TypeText (W3C key codes).
namespace keys {
inline const QString Tab = QString(QChar(0xE004));
inline const QString Enter = QString(QChar(0xE007));
inline const QString Control = QString(QChar(0xE009));
} // namespace keys

class BrowserDriver {
public:
    // How long the find operations look for an element before they fail.
    static constexpr int kDefaultSearchMs = 3000;

    BrowserDriver();
    ~BrowserDriver(); // Quit()
    BrowserDriver(const BrowserDriver&) = delete;
    BrowserDriver& operator=(const BrowserDriver&) = delete;

    // Called between commands and while waiting, so the window keeps painting.
    void setKeepAlive(std::function<void()> keepAlive);
    // Once it returns true, waits end at once and searches stop looking (the user's "İptal").
    void setStopCheck(std::function<bool()> stopRequested);
    bool stopRequested() const;

    // Before StartBrowser.
    void SetBrowserPreference(const QString& name, const QVariant& value);
    void AddBrowserArgument(const QString& argument);
    // Keeps the browser window open after the session ends (the driver process still ends); the
    // window is the user's from then on.
    void SetDetach(bool detach);
    // The frame of a visible browser window on the screen; empty (the default) leaves it to the
    // browser. A headless session has no window to place.
    void SetWindowRect(const QRect& frame);

    Result<void> StartBrowser(const QString& browserName = QStringLiteral("Chrome"));
    bool started() const;

    Result<void> OpenPage(const QString& address);
    Result<QString> CurrentUrl();

    Result<Element> FindById(const QString& id);
    Result<Element> FindByName(const QString& name);
    Result<Element> FindByLinkText(const QString& text);
    Result<Element> FindByXPath(const QString& xpath);
    Result<Element> FindByClass(const QString& className);
    Result<ElementList> FindAllById(const QString& id);
    Result<ElementList> FindAllByTag(const QString& tag);                       // the page
    Result<ElementList> FindAllByTag(const Element& scope, const QString& tag); // descendants
    Result<ElementList> FindAllByClass(const QString& className);
    Result<Element> FindFirstByTagIn(const Element& scope, const QString& tag);
    Result<Element> FindElementByValue(const QString& value);
    // Polls for an element with that id or class until found or `timeoutMs` has passed.
    bool IsPresent(const QString& idOrClass, int timeoutMs);
    static int Count(const ElementList& list) { return static_cast<int>(list.size()); }

    Result<void> TypeText(const Element& element, const QString& text);
    Result<void> Click(const Element& element);
    Result<QString> ReadText(const Element& element);
    Result<QString> ReadAttribute(const Element& element, const QString& name);
    Result<void> SelectByText(const Element& select, const QString& text);
    Result<void> SelectByValue(const Element& select, const QString& value);
    // Key strokes to the focused element: SendKeysToPage(keys::Tab),
    // SendKeysToPage(u"v"_s, keys::Control) for Control+V.
    Result<void> SendKeysToPage(const QString& keys, const QString& modifier = QString());
    // Sends the chain as one "Perform Actions" request, then releases what it holds pressed.
    // A failure (a stale or hidden element) stops it where it was: the earlier steps happened.
    Result<void> PerformActions(const ActionChain& chain);
    // Runs the script with `arguments` as arguments[0…]; returns the script's JSON result.
    Result<QVariant> RunScript(const QString& script, const ElementList& arguments = {});
    // Pauses the calling operation; the window keeps painting.
    void Wait(int milliseconds);
    Result<void> AcceptAlert();
    Result<QString> AlertText();
    Result<void> CloseWindow();
    void Quit();
    Result<QImage> CaptureElementImage(const Element& element);
    // The page as a PDF through the W3C "Print Page" command: A4 portrait, no margins of the
    // driver's own (the page keeps its own), backgrounds printed. Chromium prints headless only.
    Result<QByteArray> PrintPage();

    // Puts the text on the session's own clipboard and pastes it into the focused field with
    // Control+V: the page receives a real paste event. The desktop clipboard is not touched.
    Result<void> ClipboardPaste(const QString& text);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace tavlix::browser
