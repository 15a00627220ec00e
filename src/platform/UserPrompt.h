// How an operation outside the window layer speaks to the user: messages, yes/no questions and
// the progress of a long step. The window layer shows them (MessageBoxPrompt); tests record them.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

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
    // A question with buttons of its own, `choices` in order, `defaultChoice` the default; the
    // position of the one pressed, the last one (the way out) when the box is closed otherwise.
    // Without buttons of its own a prompt asks Yes/No: "Evet" the first choice, "Hayır" the last.
    virtual int choose(const QString& text, const QString& title, const QStringList& choices,
                       int /*defaultChoice*/) {
        return ask(text, title) ? 0 : int(choices.size()) - 1;
    }
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
