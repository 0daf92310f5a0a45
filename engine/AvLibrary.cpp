#include "engine/AvLibrary.h"

#include "base/Logging.h"

#include <dlfcn.h>
#include <mutex>
#include <string>

namespace
{

#define LUMI_STR2(x) #x
#define LUMI_STR(x) LUMI_STR2(x)
// The sonames of the versions the headers describe.
constexpr const char *sonames[] = {
    "libavutil.so." LUMI_STR(LIBAVUTIL_VERSION_MAJOR),
    "libavcodec.so." LUMI_STR(LIBAVCODEC_VERSION_MAJOR),
    "libavformat.so." LUMI_STR(LIBAVFORMAT_VERSION_MAJOR),
};

} // namespace

const AvLibrary *AvLibrary::get()
{
    static AvLibrary library;
    static bool ok = false;
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        void *handles[3] = {};
        for (int i = 0; i < 3; ++i) {
            // Never closed: a recorder's worker may be the last to use them.
            handles[i] = dlopen(sonames[i], RTLD_NOW | RTLD_LOCAL);
            if (!handles[i]) {
                const char *reason = dlerror();
                qCWarning(lumiRecording) << "cannot load" << sonames[i] << (reason ? reason : "");
                return;
            }
        }
        std::string missing;
        auto find = [&](const char *name) -> void * {
            for (void *handle : handles)
                if (void *symbol = dlsym(handle, name))
                    return symbol;
            missing += std::string(missing.empty() ? "" : ", ") + name;
            return nullptr;
        };
#define LUMI_AV_RESOLVE(name) library.name = reinterpret_cast<decltype(library.name)>(find(#name));
        LUMI_AV_ENTRIES(LUMI_AV_RESOLVE)
#undef LUMI_AV_RESOLVE
        if (!missing.empty()) {
            qCWarning(lumiRecording) << "libavformat lacks" << missing.c_str();
            return;
        }
        // libav writes to stderr; its warnings about a stream it copies are
        // shown only when recording messages are asked for.
        library.av_log_set_level(lumiRecording().isDebugEnabled() ? AV_LOG_WARNING : AV_LOG_QUIET);
        ok = true;
    });
    return ok ? &library : nullptr;
}
