#pragma once

namespace Application::K27 {

// Registers the images compiled into the windows library under ":/images/" and the compiled
// translations under ":/translations/". A static library's resources are only linked in when
// something refers to them, so every program and test that shows a window calls this before
// the first window is built. Calling it again does nothing.
void initResources();

} // namespace Application::K27
