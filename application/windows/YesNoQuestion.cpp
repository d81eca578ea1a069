#include "application/windows/YesNoQuestion.h"

#include <QMessageBox>

namespace Application::K27 {

namespace {

YesNoQuestion::Answerer &installedQuestionAnswerer()
{
    static YesNoQuestion::Answerer answerer;
    return answerer;
}

} // namespace

bool YesNoQuestion::ask(QWidget *parent, const Request &request)
{
    if (const Answerer answerer = installedQuestionAnswerer())
        return answerer(request);
    return QMessageBox::question(parent, request.title, request.text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

YesNoQuestion::Answerer YesNoQuestion::setAnswerer(Answerer answerer)
{
    Answerer previous = std::move(installedQuestionAnswerer());
    installedQuestionAnswerer() = std::move(answerer);
    return previous;
}

} // namespace Application::K27
