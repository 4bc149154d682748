#pragma once

namespace platform {

// Call before the QApplication is made. The web engine's sandbox refuses to
// start for the root user, so it is switched off then, and only then.
void PrepareWebEngineEnvironment();

}  // namespace platform
