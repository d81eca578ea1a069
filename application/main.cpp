#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("TORVEX\u00aeK27 Service Tool"));
    window.resize(1024, 768);
    window.show();
    return application.exec();
}
