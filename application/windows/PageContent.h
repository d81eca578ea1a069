#pragma once

#include <QWidget>

namespace Application::K27 {

// The widget inside a page's scroll area on which the page's form is laid. A page with a
// wrapping text line has a height that depends on its width; the scroll area then asks for that
// height, and a plain widget answers with the height its layout would like rather than the
// least it needs, so the page would scroll on a screen it fits. This one answers with the least
// height: the page scrolls only when it must.
class PageContent : public QWidget
{
    Q_OBJECT

public:
    explicit PageContent(QWidget *parent = nullptr);

    int heightForWidth(int width) const override;
};

} // namespace Application::K27
