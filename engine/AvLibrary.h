#pragma once

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

// The libavformat entry points the recorder uses, loaded on first use rather
// than linked: linking would map libavcodec and its codec libraries at
// start-up, memory that a program which never records would pay for (libmpv,
// when it is loaded, maps the same libraries, so loading them again is free).
struct AvLibrary {
    // The libraries, loaded once; null when they cannot be loaded or lack an
    // entry point we use.
    static const AvLibrary *get();

#define LUMI_AV_ENTRY(name) decltype(&::name) name = nullptr;
#define LUMI_AV_ENTRIES(X)                                                                                   \
    X(avformat_alloc_context)                                                                                \
    X(avformat_open_input)                                                                                   \
    X(avformat_close_input)                                                                                  \
    X(avformat_find_stream_info)                                                                             \
    X(av_read_frame)                                                                                         \
    X(avformat_alloc_output_context2)                                                                        \
    X(avformat_new_stream)                                                                                   \
    X(avformat_write_header)                                                                                 \
    X(av_write_frame)                                                                                        \
    X(av_write_trailer)                                                                                      \
    X(avformat_free_context)                                                                                 \
    X(avio_alloc_context)                                                                                    \
    X(avio_context_free)                                                                                     \
    X(avio_flush)                                                                                            \
    X(av_packet_alloc)                                                                                       \
    X(av_packet_free)                                                                                        \
    X(av_packet_move_ref)                                                                                    \
    X(av_packet_unref)                                                                                       \
    X(avcodec_parameters_copy)                                                                               \
    X(av_rescale_q)                                                                                          \
    X(av_dict_set)                                                                                           \
    X(av_dict_set_int)                                                                                       \
    X(av_dict_free)                                                                                          \
    X(av_malloc)                                                                                             \
    X(av_freep)                                                                                              \
    X(av_strerror)                                                                                           \
    X(av_log_set_level)
    LUMI_AV_ENTRIES(LUMI_AV_ENTRY)
#undef LUMI_AV_ENTRY
};
