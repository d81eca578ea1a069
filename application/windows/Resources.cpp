#include "application/windows/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the registration function of the resource file, which lives in the
// global namespace; it must therefore be expanded outside any namespace.
static void registerImages()
{
    Q_INIT_RESOURCE(images);
    Q_INIT_RESOURCE(k27_translations);
}

namespace Application::K27 {

void initResources()
{
    static const bool registered = (registerImages(), true);
    Q_UNUSED(registered)
}

} // namespace Application::K27
