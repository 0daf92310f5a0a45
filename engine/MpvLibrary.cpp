#include "engine/MpvLibrary.h"

#include "engine/MediaEngine.h"

#include <dlfcn.h>
#include <mutex>
#include <string>

namespace
{

// The soname of libmpv's client API 2.x, which the headers we build against describe.
constexpr char soname[] = "libmpv.so.2";

template <typename Function>
void resolve(void *handle, Function &slot, const char *name, std::string &missing)
{
    slot = reinterpret_cast<Function>(dlsym(handle, name));
    if (!slot)
        missing += std::string(missing.empty() ? "" : ", ") + name;
}

} // namespace

const MpvLibrary &MpvLibrary::get()
{
    static MpvLibrary library;
    static std::string failure;
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        // Never closed: libmpv's threads may outlive any one engine.
        void *handle = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char *reason = dlerror();
            failure = std::string("libmpv could not be loaded: ") + (reason ? reason : soname);
            return;
        }
        std::string missing;
        resolve(handle, library.create, "mpv_create", missing);
        resolve(handle, library.setOptionString, "mpv_set_option_string", missing);
        resolve(handle, library.initialize, "mpv_initialize", missing);
        resolve(handle, library.terminateDestroy, "mpv_terminate_destroy", missing);
        resolve(handle, library.observeProperty, "mpv_observe_property", missing);
        resolve(handle, library.setWakeupCallback, "mpv_set_wakeup_callback", missing);
        resolve(handle, library.waitEvent, "mpv_wait_event", missing);
        resolve(handle, library.getProperty, "mpv_get_property", missing);
        resolve(handle, library.setProperty, "mpv_set_property", missing);
        resolve(handle, library.setPropertyString, "mpv_set_property_string", missing);
        resolve(handle, library.command, "mpv_command", missing);
        resolve(handle, library.commandRet, "mpv_command_ret", missing);
        resolve(handle, library.commandAsync, "mpv_command_async", missing);
        resolve(handle, library.freeNodeContents, "mpv_free_node_contents", missing);
        resolve(handle, library.renderContextCreate, "mpv_render_context_create", missing);
        resolve(handle, library.renderContextSetUpdateCallback, "mpv_render_context_set_update_callback",
            missing);
        resolve(handle, library.renderContextUpdate, "mpv_render_context_update", missing);
        resolve(handle, library.renderContextRender, "mpv_render_context_render", missing);
        resolve(handle, library.renderContextFree, "mpv_render_context_free", missing);
        if (!missing.empty())
            failure = "libmpv lacks " + missing;
    });
    if (!failure.empty())
        throw EngineError(failure);
    return library;
}
