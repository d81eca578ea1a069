#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace Application::K27 {

// The one way a window asks the user a question to answer with Yes or No before it does
// something that cannot be taken back. Qt's message box asks (No is the default button) unless
// an answerer was set in its place: tests answer without any dialog that way. Used from the GUI
// thread only.
class YesNoQuestion
{
public:
    struct Request
    {
        QString title;
        QString text;
    };

    // Answers one question: true for Yes.
    using Answerer = std::function<bool(const Request &request)>;

    // Asks and waits for the answer (the message box is modal); true for Yes.
    static bool ask(QWidget *parent, const Request &request);

    // Puts answerer in the place of the message box for every window; an empty one brings the
    // message box back. Returns the answerer there was (empty for the message box).
    static Answerer setAnswerer(Answerer answerer);
};

} // namespace Application::K27
