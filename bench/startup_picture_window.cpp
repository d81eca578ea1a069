// The floor of a start that shows large pictures: a Qt Widgets window of the login screen's size
// that draws the login screen's background and shows its key visual, both read from their PNG
// files on the GUI thread, as plainly as a program can. It writes "shown" on standard output once
// the window has painted, then ends; the start-up benchmark times a run of it from its start
// until that line.

#include "FloorWindowShown.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace {

class PictureWindow : public QWidget
{
public:
    PictureWindow()
        : m_background(QStringLiteral(PICTURE_FOLDER "/welcome_background_typo.png"))
    {
        setFixedSize(1280, 910);
        auto *const keyVisual = new QLabel(this);
        keyVisual->setPixmap(QPixmap(QStringLiteral(PICTURE_FOLDER "/key_visual_xl.png")));
        keyVisual->adjustSize();
        keyVisual->move(80, 200);
    }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).drawPixmap(0, 0, m_background); }

private:
    QPixmap m_background;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    PictureWindow window;
    return FloorWindowShown::run(window);
}
