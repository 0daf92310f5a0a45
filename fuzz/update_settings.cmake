# The update settings file as the server sends it: any bytes read without
# harm, and a section of its own added after them is read as written.
lumi_add_fuzzer(update_settings SOURCES fuzz/update_settings.cpp update/UpdateSettings.cpp base/TextDecoding.cpp base/BoundedRead.cpp)
# No update address: the fuzzer reads bytes, it never fetches.
target_compile_definitions(update_settings PRIVATE LUMI_UPDATE_SETTINGS_URL="")
