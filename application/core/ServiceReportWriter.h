#pragma once

#include <QCoreApplication>
#include <QString>

namespace Application::K27 {

// Prints a service report's HTML on one A4 page of a PDF file. The file appears whole or not
// at all: it is written beside the chosen name and replaces it only once complete. A report
// longer than the page is set in a smaller font until it fits.
class ServiceReportWriter
{
    Q_DECLARE_TR_FUNCTIONS(ServiceReportWriter)

public:
    // False, with the reason in errorString, when the file cannot be written.
    static bool write(const QString &html, const QString &path, QString *errorString);
};

} // namespace Application::K27
