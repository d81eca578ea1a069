#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace Application::K27 {

// The one way a window asks the user for a file to open or a file to save. Qt's file dialog
// asks unless an answerer was set in its place: tests answer without any dialog that way.
// Used from the GUI thread only.
class FileChooser
{
public:
    enum class Purpose { Open, Save };

    // What the window asks: the dialog's title, a folder or a file (the dialog opens in its
    // folder and suggests its name) and the dialog's filter.
    struct Request
    {
        Purpose purpose = Purpose::Open;
        QString title;
        QString suggested;
        QString filter;
    };

    // Answers one request with the chosen path, or an empty one when the user cancelled.
    using Answerer = std::function<QString(const Request &request)>;

    // Asks and waits for the answer (Qt's dialog is modal); empty when cancelled. A file to
    // save whose chosen name has no extension gets defaultSuffix ("json") added.
    static QString choose(QWidget *parent, const Request &request,
                          const QString &defaultSuffix = QString());

    // Asks beside the window, which goes on working while the user chooses (Qt's own
    // dialog, not the platform's, adding defaultSuffix to a name typed without one).
    // chosen is called with the path once the user chose one, never when they cancelled,
    // and not at all once parent is gone.
    static void chooseBeside(QWidget *parent, const Request &request, const QString &defaultSuffix,
                             std::function<void(const QString &path)> chosen);

    // Where a dialog can open: the suggested file or folder when its folder exists, otherwise
    // the same name in the home folder (a remembered folder may be gone, a standard one may
    // never have been made).
    static QString existingPlace(const QString &suggested);
    // The path with "." + suffix added when its file name has no extension; as it is
    // otherwise, or when either is empty.
    static QString withSuffix(const QString &path, const QString &suffix);

    // Puts answerer in the place of Qt's dialogs for every window; an empty one brings the
    // dialogs back. Returns the answerer there was (empty for the dialogs).
    static Answerer setAnswerer(Answerer answerer);
};

} // namespace Application::K27
