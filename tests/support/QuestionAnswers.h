#pragma once

// Header only: the core test library does not link the windows, the widget tests do.

#include "application/windows/YesNoQuestion.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace TestSupport {

// Answers the windows' yes/no questions in place of a message box while it lives: each
// question takes the next queued answer and is kept for the test to look at. A question with
// no answer left is answered No with a warning, which fails the test, rather than opening a
// message box nobody answers; an answer nobody asked for warns too. The answerer there was
// comes back when the object goes.
class QuestionAnswers
{
public:
    using Request = Application::K27::YesNoQuestion::Request;

    QuestionAnswers()
        : m_previous(Application::K27::YesNoQuestion::setAnswerer(
            [this](const Request &request) { return answer(request); }))
    {
    }

    ~QuestionAnswers()
    {
        Application::K27::YesNoQuestion::setAnswerer(std::move(m_previous));
        if (!m_answers.isEmpty())
            qWarning("%d answer(s) to questions nobody asked", int(m_answers.size()));
    }

    QuestionAnswers(const QuestionAnswers &) = delete;
    QuestionAnswers &operator=(const QuestionAnswers &) = delete;

    // The next question is answered Yes.
    void yes() { m_answers.append(true); }
    // The next question is answered No.
    void no() { m_answers.append(false); }

    // Every question so far, oldest first.
    const QList<Request> &asked() const { return m_asked; }
    // Every question so far as "title|text", oldest first.
    QStringList askedTexts() const
    {
        QStringList texts;
        for (const Request &request : m_asked)
            texts.append(request.title + QLatin1Char('|') + request.text);
        return texts;
    }

private:
    bool answer(const Request &request)
    {
        m_asked.append(request);
        if (m_answers.isEmpty()) {
            qWarning("Question \"%s\" with no answer left", qPrintable(request.title));
            return false;
        }
        return m_answers.takeFirst();
    }

    QList<bool> m_answers;
    QList<Request> m_asked;
    Application::K27::YesNoQuestion::Answerer m_previous;
};

} // namespace TestSupport
