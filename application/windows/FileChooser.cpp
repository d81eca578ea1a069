#include "application/windows/FileChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>

namespace Application::K27 {

namespace {

FileChooser::Answerer &installedFileAnswerer()
{
    static FileChooser::Answerer answerer;
    return answerer;
}

} // namespace

QString FileChooser::existingPlace(const QString &suggested)
{
    if (suggested.isEmpty())
        return suggested;
    const QFileInfo place(suggested);
    if (place.isDir() || place.absoluteDir().exists())
        return suggested;
    return QDir::home().filePath(place.fileName());
}

QString FileChooser::withSuffix(const QString &path, const QString &suffix)
{
    if (path.isEmpty() || suffix.isEmpty())
        return path;
    const QString name = QFileInfo(path).fileName();
    // ".profile" is a name, not an extension.
    if (name.lastIndexOf(QLatin1Char('.')) > 0)
        return path;
    return path + QLatin1Char('.') + suffix;
}

QString FileChooser::choose(QWidget *parent, const Request &asked, const QString &defaultSuffix)
{
    Request request = asked;
    request.suggested = existingPlace(asked.suggested);
    const QString suffix = request.purpose == Purpose::Save ? defaultSuffix : QString();
    if (const Answerer answerer = installedFileAnswerer())
        return withSuffix(answerer(request), suffix);
    if (request.purpose == Purpose::Open)
        return QFileDialog::getOpenFileName(parent, request.title, request.suggested,
                                            request.filter);
    // The dialog adds the suffix itself, before it asks whether to replace an existing file.
    QFileDialog dialog(parent, request.title, request.suggested, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(request.suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return withSuffix(dialog.selectedFiles().constFirst(), suffix);
}

void FileChooser::chooseBeside(QWidget *parent, const Request &asked, const QString &defaultSuffix,
                               std::function<void(const QString &path)> chosen)
{
    Request request = asked;
    request.suggested = existingPlace(asked.suggested);
    if (const Answerer answerer = installedFileAnswerer()) {
        // The answer may come at once: the window asked as if it would come later.
        const QString path = answerer(request);
        if (!path.isEmpty())
            chosen(request.purpose == Purpose::Save ? withSuffix(path, defaultSuffix) : path);
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
    Answerer previous = std::move(installedFileAnswerer());
    installedFileAnswerer() = std::move(answerer);
    return previous;
}

} // namespace Application::K27
