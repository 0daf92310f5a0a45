// Linked into every test of the AddressSanitizer build only. Mesa unloads its
// software GL driver when the last display using it closes; the driver's own
// small leaks then point into an unmapped module, which the leak checker can
// neither name nor let the suppression file match. Holding the driver loaded
// for the whole process keeps those reports attributable (and suppressed).
#include <dlfcn.h>

namespace
{

[[maybe_unused]] const bool driverHeld
    = [] { return dlopen(LUMI_GL_DRIVER_PATH, RTLD_LAZY | RTLD_LOCAL | RTLD_NODELETE) != nullptr; }();

} // namespace
