#pragma once

// Header only: the core test library does not link the windows, the widget tests do.

#include "application/windows/FileChooser.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace TestSupport {

// Answers the windows' file requests in place of a dialog while it lives: each request takes
// the next queued answer, a path or a cancel, and is kept for the test to look at. A request
// with no answer left is answered as cancelled with a warning, which fails the test, rather
// than opening a dialog nobody answers; an answer nobody asked for warns too. The answerer
// there was comes back when the object goes.
class FileAnswers
{
public:
    using Request = Application::K27::FileChooser::Request;

    FileAnswers()
        : m_previous(Application::K27::FileChooser::setAnswerer(
            [this](const Request &request) { return answer(request); }))
    {
    }

    ~FileAnswers()
    {
        Application::K27::FileChooser::setAnswerer(std::move(m_previous));
        if (!m_answers.isEmpty())
            qWarning("%d file answer(s) nobody asked for", int(m_answers.size()));
    }

    FileAnswers(const FileAnswers &) = delete;
    FileAnswers &operator=(const FileAnswers &) = delete;

    // The next request chooses path.
    void choose(const QString &path) { m_answers.append(path); }
    // The next request is cancelled.
    void cancel() { m_answers.append(QString()); }

    // Every request so far, oldest first.
    const QList<Request> &asked() const { return m_asked; }
    // Every request so far as "Open|title|suggested|filter" (or "Save|…"), oldest first.
    QStringList askedTexts() const
    {
        QStringList texts;
        for (const Request &request : m_asked)
            texts.append(
                QStringList {request.purpose == Application::K27::FileChooser::Purpose::Save
                                 ? QStringLiteral("Save")
                                 : QStringLiteral("Open"),
                             request.title, request.suggested, request.filter}
                    .join(QLatin1Char('|')));
        return texts;
    }
    // Answers queued and not yet taken.
    int pending() const { return int(m_answers.size()); }

private:
    QString answer(const Request &request)
    {
        m_asked.append(request);
        if (m_answers.isEmpty()) {
            qWarning("File request \"%s\" with no answer left", qPrintable(request.title));
            return QString();
        }
        return m_answers.takeFirst();
    }

    QStringList m_answers;
    QList<Request> m_asked;
    Application::K27::FileChooser::Answerer m_previous;
};

} // namespace TestSupport
