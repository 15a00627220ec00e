// The window layer's UserPrompt: message boxes over a parent window, and a modal progress dialog
// with "İptal" while a long operation runs, so the window paints and takes no other click. The
// dialog stays until finish(): "İptal" only asks the operation to stop.
#pragma once

#include "platform/UserPrompt.h"

#include <QMessageBox>
#include <QPointer>

#include <memory>

class QProgressDialog;
class QWidget;

namespace tavlix {

class InputOnlyTo;

// Sizes a message box, each time it is shown, so that it shows its whole text (wrapped at about
// 60 % of the screen's width when long) and a window manager its whole title. A box left to
// Qt's automatic text format shows its text as plain text: a message may carry outside words (a
// site's refusal, a registry's name, a workbook cell, a file name) that must not become markup.
void keepTitleWhole(QMessageBox& box);
// The same for every message box of the application, however it was made (QMessageBox's own
// static functions included). Safe to call again.
void fitEveryMessageBox();

// Every message box of the program goes through here: modal over `parent`, its text plain and
// whole. Returns the button pressed.
QMessageBox::StandardButton
showMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text,
               QMessageBox::StandardButtons buttons, QWidget* parent,
               QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
               const QString& informativeText = QString());

QMessageBox::Icon messageBoxIcon(UserPrompt::Icon icon);

// A tooltip that shows outside text literally: Qt reads a tooltip as markup when it looks like
// markup, so such a text is escaped into a paragraph that keeps its line breaks.
QString plainToolTip(const QString& text);

class MessageBoxPrompt : public UserPrompt {
public:
    explicit MessageBoxPrompt(QWidget* parent);
    ~MessageBoxPrompt() override;

    using UserPrompt::message;
    void message(Icon icon, const QString& text, const QString& title) override;
    bool ask(const QString& text, const QString& title) override;
    int choose(const QString& text, const QString& title, const QStringList& choices,
               int defaultChoice) override;
    void progress(const QString& step) override;
    bool cancelled() const override;
    void keepAlive() override;
    // Beside the parent's window on its screen, else at least off the progress dialog.
    QRect browserWindowArea() const override;
    // Closes the progress dialog; the next progress() opens it again.
    void finish();

private:
    QWidget* visibleParent() const;
    void stepAside(); // the progress dialog hidden while a box asks

    QPointer<QWidget> m_parent;
    QProgressDialog* m_progress = nullptr;
    std::unique_ptr<InputOnlyTo> m_inputToDialog; // while the progress dialog is up
    bool m_cancelled = false;
};

} // namespace tavlix
