// A UserPrompt for tests of operations without a window: records every message and progress
// step, answers questions from a queue, and can ask to cancel after a given number of steps.
#pragma once

#include "platform/UserPrompt.h"

#include <QStringList>

#include <deque>
#include <functional>

namespace tavlix::test {

class RecordingPrompt : public UserPrompt {
public:
    using UserPrompt::message;
    void message(Icon icon, const QString& text, const QString& title) override {
        messages.append(text);
        icons.append(icon);
        titles.append(title);
    }
    bool ask(const QString& text, const QString& /*title*/) override {
        questions.append(text);
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    int choose(const QString& text, const QString& /*title*/, const QStringList& choices,
               int defaultChoice) override {
        questions.append(text);
        offered.append(choices);
        if (picks.empty())
            return defaultChoice;
        const int choice = picks.front();
        picks.pop_front();
        return choice;
    }
    void progress(const QString& step) override {
        steps.append(step);
        if (cancelAfterSteps >= 0 && steps.size() >= cancelAfterSteps)
            cancelRequested = true;
    }
    bool cancelled() const override { return cancelRequested; }
    void keepAlive() override {
        ++keepAliveCalls;
        if (onKeepAlive)
            onKeepAlive();
    }

    QString last() const { return messages.isEmpty() ? QString() : messages.last(); }

    QStringList messages;
    QList<Icon> icons;
    QStringList titles;
    QStringList questions;
    std::deque<bool> answers;   // answers to ask(), in order; "Hayır" when empty
    std::deque<int> picks;      // answers to choose(), in order; the default when empty
    QList<QStringList> offered; // the buttons of every choose()
    QStringList steps;
    int cancelAfterSteps = -1; // ask to cancel once this many steps were shown
    bool cancelRequested = false;
    int keepAliveCalls = 0;
    std::function<void()> onKeepAlive; // e.g. to type a captcha while an operation waits
};

} // namespace tavlix::test
