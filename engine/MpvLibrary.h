#pragma once

#include <mpv/client.h>
#include <mpv/render_gl.h>

// libmpv's entry points, loaded on first use rather than linked. Linking pulls
// in libmpv's few hundred dependencies at start-up, some 35 MB of memory that
// an idle program, or one that never plays, would pay for nothing.
struct MpvLibrary {
    // The library, loaded once; throws EngineError when it cannot be loaded or
    // lacks an entry point we use.
    static const MpvLibrary &get();

    decltype(&::mpv_create) create = nullptr;
    decltype(&::mpv_set_option_string) setOptionString = nullptr;
    decltype(&::mpv_initialize) initialize = nullptr;
    decltype(&::mpv_terminate_destroy) terminateDestroy = nullptr;
    decltype(&::mpv_observe_property) observeProperty = nullptr;
    decltype(&::mpv_set_wakeup_callback) setWakeupCallback = nullptr;
    decltype(&::mpv_wait_event) waitEvent = nullptr;
    decltype(&::mpv_get_property) getProperty = nullptr;
    decltype(&::mpv_set_property) setProperty = nullptr;
    decltype(&::mpv_set_property_string) setPropertyString = nullptr;
    decltype(&::mpv_command) command = nullptr;
    decltype(&::mpv_command_ret) commandRet = nullptr;
    decltype(&::mpv_command_async) commandAsync = nullptr;
    decltype(&::mpv_free_node_contents) freeNodeContents = nullptr;
    decltype(&::mpv_render_context_create) renderContextCreate = nullptr;
    decltype(&::mpv_render_context_set_update_callback) renderContextSetUpdateCallback = nullptr;
    decltype(&::mpv_render_context_update) renderContextUpdate = nullptr;
    decltype(&::mpv_render_context_render) renderContextRender = nullptr;
    decltype(&::mpv_render_context_free) renderContextFree = nullptr;
};
