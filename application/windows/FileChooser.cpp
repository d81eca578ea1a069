#include "application/windows/FileChooser.h"

#include <QFileDialog>
#include <QPointer>

namespace Application::K27 {

namespace {

FileChooser::Answerer &installedAnswerer()
{
    static FileChooser::Answerer answerer;
    return answerer;
}

} // namespace

QString FileChooser::choose(QWidget *parent, const Request &request)
{
    if (const Answerer answerer = installedAnswerer())
        return answerer(request);
    if (request.purpose == Purpose::Save)
        return QFileDialog::getSaveFileName(parent, request.title, request.suggested,
                                            request.filter);
    return QFileDialog::getOpenFileName(parent, request.title, request.suggested, request.filter);
}

void FileChooser::chooseBeside(QWidget *parent, const Request &request,
                               const QString &defaultSuffix,
                               std::function<void(const QString &path)> chosen)
{
    if (const Answerer answerer = installedAnswerer()) {
        // The answer may come at once: the window asked as if it would come later.
        const QString path = answerer(request);
        if (!path.isEmpty())
            chosen(path);
        return;
    }
    auto *dialog = new QFileDialog(parent, request.title, request.suggested, request.filter);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(request.purpose == Purpose::Save ? QFileDialog::AcceptSave
                                                           : QFileDialog::AcceptOpen);
    if (request.purpose == Purpose::Open)
        dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setDefaultSuffix(defaultSuffix);
    dialog->selectFile(request.suggested);
    QObject::connect(dialog, &QFileDialog::fileSelected, parent, std::move(chosen));
    dialog->open();
}

FileChooser::Answerer FileChooser::setAnswerer(Answerer answerer)
{
    Answerer previous = std::move(installedAnswerer());
    installedAnswerer() = std::move(answerer);
    return previous;
}

} // namespace Application::K27
