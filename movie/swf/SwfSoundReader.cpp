#include "SwfSoundReader.h"

namespace swf {
namespace {

SoundFormat Format(BitReader& r, bool withCodec) {
    SoundFormat f;
    f.codec = static_cast<std::uint8_t>(withCodec ? r.UBits(4) : 0);
    f.rateCode = static_cast<std::uint8_t>(r.UBits(2));
    f.sixteenBit = r.UBits(1) != 0;
    f.stereo = r.UBits(1) != 0;
    return f;
}

}  // namespace

bool ReadSoundInfo(BitReader& r, SoundPlayInfo& info) {
    r.UBits(2);
    info.syncStop = r.UBits(1) != 0;
    info.noMultiple = r.UBits(1) != 0;
    const bool hasEnvelope = r.UBits(1) != 0;
    const bool hasLoops = r.UBits(1) != 0;
    info.hasOut = r.UBits(1) != 0;
    info.hasIn = r.UBits(1) != 0;
    if (info.hasIn) info.inPoint = r.U32();
    if (info.hasOut) info.outPoint = r.U32();
    info.loops = hasLoops ? r.U16() : 1;
    if (hasEnvelope) {
        const std::uint8_t points = r.U8();
        for (int i = 0; i < points && r.Ok(); ++i) {
            SoundEnvelopePoint p;
            p.pos44 = r.U32();
            p.left = r.U16();
            p.right = r.U16();
            if (r.Ok()) info.envelope.push_back(p);
        }
    }
    return r.Ok();
}

bool ReadDefineSound(BitReader& r, SwfSound& sound) {
    sound.format = Format(r, true);
    sound.sampleCount = r.U32();
    if (!r.Ok()) return false;
    sound.data.assign(r.Here(), r.Here() + r.Left());
    return true;
}

bool ReadStreamHead(BitReader& r, SwfStreamHead& head) {
    r.UBits(4);
    head.playback = Format(r, false);
    head.stream = Format(r, true);
    head.samplesPerFrame = r.U16();
    if (head.stream.codec == SoundCodec::Mp3 && r.Left() >= 2) head.latencySeek = r.S16();
    head.present = r.Ok();
    return head.present;
}

bool ReadButtonSounds(BitReader& r, SwfButtonSounds& sounds) {
    for (SwfStartSound& s : sounds.transitions) {
        s.soundId = r.U16();
        if (s.soundId != 0 && !ReadSoundInfo(r, s.info)) return false;
    }
    return r.Ok();
}

}  // namespace swf
