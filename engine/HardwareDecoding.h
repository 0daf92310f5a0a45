#pragma once

class MpvHandle;

// libmpv tries every hardware decoder it knows on each file it opens. On a
// machine where none works that costs tens of milliseconds on every channel
// change, which bare mpv (software decoding by default) never pays. Once no
// hardware decoder took a codec, that codec is decoded in software for the
// rest of the run; a machine whose hardware works keeps using it.
class HardwareDecoding
{
public:
    explicit HardwareDecoding(MpvHandle &mpv);

    // The first picture of a file is out: what decoded it is settled.
    void firstFrameShown();

private:
    MpvHandle &m_mpv;
};
