#pragma once

#include <QString>
#include <QTemporaryDir>

namespace TestSupport {

// A fresh per-user configuration folder: while one exists, XDG_CONFIG_HOME points at its
// temporary folder, so a Config made now starts without a configuration and writes nowhere
// else. Create one per test function (in init) to keep the tests apart.
class ConfigHome
{
public:
    // The names the program's configuration folder is named after.
    static inline const QString organisation = QStringLiteral("Dalvio GmbH & Co. KG");
    static inline const QString application = QStringLiteral("TORVEX\u00aeK27 ServiceTool");

    // Gives the process the program's organisation and application names.
    static void useProgramNames();

    ConfigHome();
    ConfigHome(const ConfigHome &) = delete;
    ConfigHome &operator=(const ConfigHome &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    // The folder Config uses inside it: <home>/<organisation>/<application>.
    QString configDir() const;

private:
    QTemporaryDir m_dir;
};

} // namespace TestSupport
