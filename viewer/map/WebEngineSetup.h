#pragma once
// What the map's web view needs before the application object exists: shared OpenGL contexts,
// and, for a viewer run as root, the web engine's sandbox switched off (it refuses to start as
// root otherwise, and the map page stays blank).

namespace viewer::map {

void PrepareWebEngine();

} // namespace viewer::map
