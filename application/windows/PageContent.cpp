#include "application/windows/PageContent.h"

#include <QLayout>

namespace Application::K27 {

PageContent::PageContent(QWidget *parent)
    : QWidget(parent)
{
}

int PageContent::heightForWidth(int width) const
{
    const QLayout *const pageLayout = layout();
    if (pageLayout == nullptr || !pageLayout->hasHeightForWidth())
        return QWidget::heightForWidth(width);
    return pageLayout->minimumHeightForWidth(width);
}

} // namespace Application::K27
