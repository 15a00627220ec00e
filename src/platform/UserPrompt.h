// How an operation outside the window layer speaks to the user: messages, yes/no questions and
// the progress of a long step. The window layer shows them (MessageBoxPrompt); tests record them.
#pragma once

#include <QRect>
#include <QString>

namespace tavlix {

class UserPrompt {
public:
    enum class Icon { Information, Warning, Critical, Question };

    virtual ~UserPrompt() = default;

    // A message box with an OK button; `title` is "Tavlix" unless the message names another.
    virtual void message(Icon icon, const QString& text, const QString& title) = 0;
    void message(Icon icon, const QString& text) { message(icon, text, QStringLiteral("Tavlix")); }
    // A Yes/No question; true for "Evet".
    virtual bool ask(const QString& text, const QString& title) = 0;
    // What a long operation is doing now ("Satırlar yazılıyor: 3 / 20" …).
    virtual void progress(const QString& step) = 0;
    // True once the user asked to stop ("İptal"); operations check it between two steps.
    virtual bool cancelled() const = 0;
    // Lets the window paint and take the "İptal" click while an operation waits.
    virtual void keepAlive() = 0;
    // Where a visible browser window may open without covering the program and its progress;
    // empty: wherever the browser puts it.
    virtual QRect browserWindowArea() const { return {}; }
};

} // namespace tavlix
