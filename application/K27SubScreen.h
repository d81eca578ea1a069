#pragma once

#include "application/Application.h"

#include <QDialog>
#include <QScopedPointer>
#include <QSharedPointer>
#include <QString>

class AccessRights;
class UserLogin;

namespace Ui {
class K27SubScreen;
class K27SubScreenInformationPage;
class K27SubScreenConfigurationPage;
class K27SubScreenDataPage;
class K27SubScreenControlPage;
class K27SubScreenAboutPage;
class K27SubScreenServiceModePage;
class K27SubScreenDemoPage;
} // namespace Ui

// The working window of one device, and at the same time that device's application: the
// model, the link and the services of the device are reached through the application base and
// shown here. A row of page buttons on the left switches the pages on the right; each page's
// widgets come from a form of its own, laid onto the page widget of the window's form, so every
// widget is still found from the window by its object name.
class K27SubScreen
    : public QDialog
    , public ::Application::K27::Application
{
    Q_OBJECT

public:
    K27SubScreen(QSharedPointer<UserLogin> login, QSharedPointer<::Application::K27::Config> config,
                 QSharedPointer<::Application::K27::SerialPortManager> manager,
                 const QString &portName, QWidget *parent = nullptr);
    ~K27SubScreen() override;

    QString portName() const { return m_portName; }
    // Whether the main window may close this window when its port goes away.
    bool canClose() const;

private:
    const QScopedPointer<Ui::K27SubScreen> m_ui;
    const QScopedPointer<Ui::K27SubScreenInformationPage> m_informationPage;
    const QScopedPointer<Ui::K27SubScreenConfigurationPage> m_configurationPage;
    const QScopedPointer<Ui::K27SubScreenDataPage> m_dataPage;
    const QScopedPointer<Ui::K27SubScreenControlPage> m_controlPage;
    const QScopedPointer<Ui::K27SubScreenAboutPage> m_aboutPage;
    const QScopedPointer<Ui::K27SubScreenServiceModePage> m_serviceModePage;
    const QScopedPointer<Ui::K27SubScreenDemoPage> m_demoPage;
    const QString m_portName;
};
