#pragma once

// Header only: the core test library does not link the windows, the widget tests do.

#include "application/core/SettingsComparison.h"
#include "application/windows/SettingsCompareDialog.h"

#include <QList>
#include <QtGlobal>
#include <optional>

namespace TestSupport {

// Answers the import's compare table in place of the dialog while it lives: each table takes
// the next queued answer and its comparison is kept for the test to look at. A table with no
// answer left is cancelled with a warning, which fails the test, rather than opening a dialog
// nobody answers; an answer nobody asked for warns too.
class CompareAnswers
{
public:
    using Comparison = Application::K27::SettingsComparison;

    CompareAnswers()
        : m_previous(Application::K27::SettingsCompareDialog::setAnswerer(
            [this](const Comparison &comparison) { return answer(comparison); }))
    {
    }

    ~CompareAnswers()
    {
        Application::K27::SettingsCompareDialog::setAnswerer(std::move(m_previous));
        if (!m_answers.isEmpty())
            qWarning("%d answer(s) to compare tables nobody showed", int(m_answers.size()));
    }

    CompareAnswers(const CompareAnswers &) = delete;
    CompareAnswers &operator=(const CompareAnswers &) = delete;

    // WRITE with the rows as the table ticks them: the differing ones.
    void writeProposed() { m_answers.append(Answer {Kind::Proposed, 0}); }
    // WRITE with only these rows ticked (bits of Settings::fields()).
    void write(quint16 fields) { m_answers.append(Answer {Kind::Chosen, fields}); }
    // CANCEL.
    void cancel() { m_answers.append(Answer {Kind::Cancel, 0}); }

    // Every comparison shown so far, oldest first.
    const QList<Comparison> &shown() const { return m_shown; }

private:
    enum class Kind { Proposed, Chosen, Cancel };
    struct Answer
    {
        Kind kind;
        quint16 fields;
    };

    std::optional<quint16> answer(const Comparison &comparison)
    {
        m_shown.append(comparison);
        if (m_answers.isEmpty()) {
            qWarning("Compare table with no answer left");
            return std::nullopt;
        }
        const Answer next = m_answers.takeFirst();
        switch (next.kind) {
        case Kind::Proposed:
            return comparison.differing();
        case Kind::Chosen:
            return next.fields;
        case Kind::Cancel:
            break;
        }
        return std::nullopt;
    }

    QList<Answer> m_answers;
    QList<Comparison> m_shown;
    Application::K27::SettingsCompareDialog::Answerer m_previous;
};

} // namespace TestSupport
