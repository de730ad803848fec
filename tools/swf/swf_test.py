"""Tests of the movie tool's sound tags: run with `python3 -m unittest swf_test` inside tools/swf.

The movies are read back here by a reader of their own, so that a field written in the wrong
place or order shows."""

import io
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
from unittest import mock

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import make_swf  # noqa: E402
import swf  # noqa: E402

HAVE_LAME = shutil.which("lame") is not None
HAVE_SPEECH = HAVE_LAME and shutil.which("espeak-ng") is not None
RATES = (5512, 11025, 22050, 44100)
SHOW_FRAME, DEFINE_SOUND, START_SOUND, DEFINE_BUTTON_SOUND = 1, 14, 15, 17
HEAD, BLOCK, HEAD2, DEFINE_SPRITE, START_SOUND2 = 18, 19, 45, 39, 89


def parse_tags(data, at=0):
    tags = []
    while at < len(data):
        (code_len,) = struct.unpack_from("<H", data, at)
        at += 2
        code, length = code_len >> 6, code_len & 0x3F
        if length == 0x3F:
            (length,) = struct.unpack_from("<I", data, at)
            at += 4
        tags.append((code, data[at:at + length]))
        at += length
        if code == 0:
            break
    return tags


def read_movie(data):
    """(frame count, frames per second, frames as lists of (code, body) before each ShowFrame)."""
    assert data[:3] == b"FWS" and struct.unpack_from("<I", data, 4)[0] == len(data)
    nbits = data[8] >> 3
    at = 8 + (5 + 4 * nbits + 7) // 8
    fps, count = struct.unpack_from("<HH", data, at)
    return count, fps / 256, split_frames(parse_tags(data, at + 4))


def split_frames(tags):
    frames, current = [], []
    for code, body in tags:
        if code == SHOW_FRAME:
            frames.append(current)
            current = []
        elif code != 0:
            current.append((code, body))
    return frames


def sound_format(byte):
    """(codec, rate, bits, channels) of a format byte."""
    return byte >> 4, RATES[byte >> 2 & 3], 16 if byte & 2 else 8, 2 if byte & 1 else 1


def read_info(body, at):
    flags = body[at]
    at += 1
    info = {"flags": flags}
    for bit, name, fmt in ((1, "in", "<I"), (2, "out", "<I"), (4, "loops", "<H")):
        if flags & bit:
            (info[name],) = struct.unpack_from(fmt, body, at)
            at += struct.calcsize(fmt)
    if flags & 8:
        count = body[at]
        at += 1
        info["envelope"] = [struct.unpack_from("<IHH", body, at + 8 * i) for i in range(count)]
        at += 8 * count
    return info, at


def read_stream_head(body):
    playback, stream = body[0], body[1]
    (per_frame,) = struct.unpack_from("<H", body, 2)
    head = {"reserved": playback >> 4, "playback": sound_format(playback & 0x0F),
            "format": sound_format(stream), "per_frame": per_frame}
    if stream >> 4 == swf.MP3:
        (head["latency"],) = struct.unpack_from("<h", body, 4)
        assert len(body) == 6
    else:
        assert len(body) == 4
    return head


def split_mp3(data):
    """The lengths of the MPEG frames that make up `data` exactly; fails on a partial frame."""
    lengths, at = [], 0
    while at < len(data):
        frame = swf.mp3_frame_at(data, at)
        assert frame is not None, "no whole frame at %d" % at
        lengths.append(len(frame.data))
        at += len(frame.data)
    return lengths


def read_mp3_block(body):
    count, seek = struct.unpack_from("<Hh", body)
    return count, seek, split_mp3(body[4:])


def mpeg_header(version=2, layer=1, bitrate=4, rate=0, padding=0, mono=True):
    """A frame header from its fields' bits: version 3 is MPEG-1, 2 MPEG-2, 0 MPEG-2.5; layer 1
    is layer III."""
    return bytes((0xFF, 0xE0 | version << 3 | layer << 1 | 1,
                  bitrate << 4 | rate << 2 | padding << 1, 0xC0 if mono else 0x00))


def mpeg_frame(length=104, marker=b"", **fields):
    """A frame of zeros but for its header and, after the side information, `marker`."""
    header = mpeg_header(**fields)
    return header + bytes(9) + marker + bytes(length - 13 - len(marker))


def synthetic_frames(count, rate=22050, samples=576):
    return [swf.Mp3Frame(2, rate, 1, 32, samples, mpeg_frame(104 + i % 2, padding=i % 2))
            for i in range(count)]


class SoundInfoTest(unittest.TestCase):
    def test_fields_follow_their_flags_in_order(self):
        cases = [
            ({}, b"\x00"),
            ({"sync_stop": True}, b"\x20"),
            ({"no_multiple": True}, b"\x10"),
            ({"loops": 0}, b"\x04\x00\x00"),
            ({"in_point": 7, "out_point": 9}, b"\x03" + struct.pack("<II", 7, 9)),
            ({"in_point": 1, "out_point": 2, "loops": 3, "envelope": [(4, 5, 6), (7, 8, 9)]},
             b"\x0F" + struct.pack("<IIHB", 1, 2, 3, 2) + struct.pack("<IHHIHH", 4, 5, 6, 7, 8, 9)),
        ]
        for kwargs, want in cases:
            with self.subTest(kwargs=kwargs):
                self.assertEqual(swf.sound_info(**kwargs), want)


class EventSoundTest(unittest.TestCase):
    def test_define_sound_formats_and_data(self):
        samples = [0, 32767, -32768, 0x1234, -1, 100]
        for rate in RATES:
            for bits in (8, 16):
                for channels in (1, 2):
                    with self.subTest(rate=rate, bits=bits, channels=channels):
                        m = swf.Movie(10, 10)
                        sid = m.define_sound(swf.raw_sound(samples, rate, channels, bits))
                        m.show_frame()
                        (code, body), = [t for t in read_movie(m.bytes())[2][0]
                                         if t[0] == DEFINE_SOUND]
                        self.assertEqual(struct.unpack_from("<H", body)[0], sid)
                        self.assertEqual(sound_format(body[2]), (swf.RAW, rate, bits, channels))
                        self.assertEqual(struct.unpack_from("<I", body, 3)[0], 6 // channels)
                        want = (bytes((128, 255, 0, 0x92, 127, 128)) if bits == 8 else
                                struct.pack("<6h", *samples))
                        self.assertEqual(body[7:], want)

    def test_formats_a_movie_cannot_hold_are_refused(self):
        for rate, bits, channels in ((48000, 16, 1), (22050, 12, 1), (22050, 16, 3)):
            with self.subTest(rate=rate, bits=bits, channels=channels):
                with self.assertRaises(ValueError):
                    swf.Movie().define_sound(swf.Sound(swf.RAW, rate, bits, channels, 0, b""))

    def test_start_sounds_on_the_main_timeline_and_in_a_clip(self):
        m = swf.Movie(10, 10)
        sid = m.define_sound(swf.raw_sound([0] * 10, 11025))
        clip = swf.Sprite()
        clip.start_sound(sid, swf.sound_info(sync_stop=True))
        clip.show_frame()
        clip.start_sound2("Tick", swf.sound_info(loops=4))
        clip.show_frame()
        m.sprite(clip)
        m.start_sound(sid)
        m.show_frame()
        first = read_movie(m.bytes())[2][0]
        (_, start), = [t for t in first if t[0] == START_SOUND]
        self.assertEqual(struct.unpack_from("<H", start)[0], sid)
        self.assertEqual(read_info(start, 2), ({"flags": 0}, len(start)))
        (_, sprite), = [t for t in first if t[0] == DEFINE_SPRITE]
        inner = split_frames(parse_tags(sprite, 4))
        self.assertEqual([[code for code, _ in f] for f in inner], [[START_SOUND], [START_SOUND2]])
        self.assertEqual(read_info(inner[0][0][1], 2)[0], {"flags": 0x20})
        body = inner[1][0][1]
        self.assertEqual(body[:5], b"Tick\0")
        self.assertEqual(read_info(body, 5), ({"flags": 0x04, "loops": 4}, len(body)))

    def test_button_sounds_per_transition(self):
        m = swf.Movie(10, 10)
        button = m.button([(swf.UP | swf.HIT, m.shape(swf.Shape().rect(0, 0, 5, 5, 1)), 1, None)])
        a = m.define_sound(swf.raw_sound([0] * 4, 22050))
        b = m.define_sound(swf.raw_sound([0] * 4, 22050))
        m.button_sound(button, a, None, (b, swf.sound_info(in_point=10)), (a, None))
        m.show_frame()
        (_, body), = [t for t in read_movie(m.bytes())[2][0] if t[0] == DEFINE_BUTTON_SOUND]
        self.assertEqual(struct.unpack_from("<H", body)[0], button)
        at, found = 2, []
        for _ in range(4):
            (sid,) = struct.unpack_from("<H", body, at)
            at += 2
            info = None
            if sid:
                info, at = read_info(body, at)
            found.append((sid, info))
        self.assertEqual(at, len(body))
        self.assertEqual(found, [(a, {"flags": 0}), (0, None), (b, {"flags": 1, "in": 10}),
                                 (a, {"flags": 0})])


class Mp3FramingTest(unittest.TestCase):
    def test_frame_headers(self):
        cases = [  # header fields -> (version, rate, channels, samples, length), or None
            (dict(version=3, bitrate=9, rate=0, mono=False), (1, 44100, 2, 1152, 417)),
            (dict(version=3, bitrate=9, rate=0, padding=1), (1, 44100, 1, 1152, 418)),
            (dict(version=3, bitrate=1, rate=2), (1, 32000, 1, 1152, 144)),
            (dict(version=2, bitrate=4, rate=0), (2, 22050, 1, 576, 104)),
            (dict(version=2, bitrate=4, rate=0, padding=1), (2, 22050, 1, 576, 105)),
            (dict(version=0, bitrate=4, rate=0), (2.5, 11025, 1, 576, 208)),
            (dict(version=1), None),  # reserved version
            (dict(layer=3), None),  # layer I
            (dict(layer=0), None),
            (dict(bitrate=0), None),  # free format
            (dict(bitrate=15), None),
            (dict(rate=3), None),
        ]
        for fields, want in cases:
            with self.subTest(fields=fields):
                frame = swf.mp3_frame_at(mpeg_header(**fields) + bytes(2000), 0)
                got = frame and (frame.version, frame.rate, frame.channels, frame.samples,
                                 len(frame.data))
                self.assertEqual(got, want)
        self.assertIsNone(swf.mp3_frame_at(b"\xfe\xf3\x40\xc4" + bytes(200), 0))

    def test_tags_and_the_info_frame_are_left_out(self):
        sound = [mpeg_frame(104), mpeg_frame(105, padding=1), mpeg_frame(104)]
        id3v2 = b"ID3\x04\x00\x00" + bytes((0, 0, 1, 2)) + bytes(130)  # 130 bytes, syncsafe
        id3v1 = b"TAG" + bytes(125)
        cases = [
            ("bare", b"".join(sound), sound),
            ("tags", id3v2 + b"".join(sound) + id3v1, sound),
            ("Info", mpeg_frame(104, b"Info") + b"".join(sound), sound),
            ("Xing", id3v2 + mpeg_frame(104, b"Xing") + b"".join(sound), sound),
            # lame's name in the padding of a first frame of silence: still sound
            ("LAME", mpeg_frame(104, b"LAME3.100") + b"".join(sound),
             [mpeg_frame(104, b"LAME3.100")] + sound),
            ("Info later", b"".join(sound) + mpeg_frame(104, b"Info"),
             sound + [mpeg_frame(104, b"Info")]),
        ]
        for name, data, want in cases:
            with self.subTest(name):
                self.assertEqual([f.data for f in swf.mp3_frames(data)], want)

    def test_what_is_not_whole_frames_is_refused(self):
        frame = mpeg_frame(104)
        cases = [("junk between", frame + b"\0\0" + frame),
                 ("cut short", frame + frame[:50]),
                 ("nothing", b""),
                 ("only an Info frame", mpeg_frame(104, b"Info")),
                 ("rate changes", frame + mpeg_frame(208, version=0))]
        for name, data in cases:
            with self.subTest(name):
                with self.assertRaises(ValueError):
                    swf.mp3_frames(data)


class StreamTest(unittest.TestCase):
    def test_mp3_blocks_keep_ahead_of_the_frames_by_less_than_one_mp3_frame(self):
        cases = [(22050, 12, 80, None), (22050, 12, 80, 24), (44100, 25, 50, None),
                 (11025, 30, 40, None), (11025, 12.5, 40, 10), (22050, 12, 3, 10)]
        for rate, fps, count, movie_frames in cases:
            with self.subTest(rate=rate, fps=fps, count=count, movie_frames=movie_frames):
                samples = 1152 if rate == 44100 else 576
                frames = synthetic_frames(count, rate, samples)
                stream = swf.mp3_stream(frames, fps, movie_frames)
                if movie_frames:
                    self.assertLessEqual(len(stream.blocks), movie_frames)
                sent = 0
                for f, block in enumerate(stream.blocks):
                    start, end = int(f * rate / fps), int((f + 1) * rate / fps)
                    last = movie_frames and f == movie_frames - 1
                    if block is None:  # no MP3 frame begins in this movie frame
                        self.assertGreaterEqual(sent, end)
                        continue
                    n, seek, lengths = read_mp3_block(block)
                    self.assertEqual(n, len(lengths) * samples)
                    self.assertEqual(seek, start - sent)
                    self.assertLessEqual(seek, 0)
                    sent += n
                    if not last and sent < count * samples:
                        self.assertGreaterEqual(sent, end)
                        self.assertLess(sent - samples, end)
                self.assertEqual(sent, count * samples)
                self.assertEqual(stream.samples_per_frame, int(rate / fps + 0.5))
        self.assertIn(None, swf.mp3_stream(synthetic_frames(40, 11025), 30).blocks)

    def test_a_block_holds_at_most_what_its_count_can_say(self):
        with self.assertRaises(ValueError):
            swf.mp3_stream(synthetic_frames(200, 44100, 1152), 0.5)

    def test_raw_blocks_hold_exactly_the_samples_due(self):
        cases = [(22050, 12, 2, 16, 22050), (22050, 10, 1, 8, 10000), (5512, 7, 2, 8, 999)]
        for rate, fps, channels, bits, count in cases:
            with self.subTest(rate=rate, fps=fps, channels=channels, bits=bits):
                stream = swf.raw_stream(list(range(count * channels)), rate, fps, channels, bits)
                size = channels * bits // 8
                total = 0
                for f, block in enumerate(stream.blocks):
                    due = min(count, int((f + 1) * rate / fps)) - int(f * rate / fps)
                    self.assertEqual(len(block), due * size)
                    total += len(block) // size
                self.assertEqual(total, count)
        lengths = {len(b) for b in swf.raw_stream([0] * 22050, 22050, 12).blocks}
        self.assertEqual(lengths, {1837 * 2, 1838 * 2})

    def test_heads_and_blocks_go_into_the_timeline_frames(self):
        mp3 = swf.mp3_stream(synthetic_frames(10), 12)
        raw = swf.raw_stream([1] * 4000, 11025, 12, channels=2, bits=8)
        m = swf.Movie(10, 10)
        clip = swf.Sprite()
        clip.show_frame()
        clip.stream(raw)
        for _ in range(len(raw.blocks) + 2):
            clip.show_frame()
        m.sprite(clip)
        m.stream(mp3, head2=False)
        for _ in range(len(mp3.blocks) + 3):
            m.show_frame()
        frames = read_movie(m.bytes())[2]
        codes = [[c for c, _ in f if c in (HEAD, HEAD2, BLOCK)] for f in frames]
        self.assertEqual(codes, [[HEAD, BLOCK]] + [[BLOCK]] * (len(mp3.blocks) - 1) + [[]] * 3)
        head = read_stream_head([b for c, b in frames[0] if c == HEAD][0])
        self.assertEqual(head, {"reserved": 0, "playback": (0, 22050, 16, 1),
                                "format": (swf.MP3, 22050, 16, 1), "per_frame": 1838,
                                "latency": 0})
        blocks = [b for f in frames for c, b in f if c == BLOCK]
        self.assertEqual(blocks, mp3.blocks)
        (_, sprite), = [(c, b) for c, b in frames[0] if c == DEFINE_SPRITE]
        inner = split_frames(parse_tags(sprite, 4))
        self.assertEqual(struct.unpack_from("<H", sprite, 2)[0], len(inner))
        codes = [[c for c, _ in f] for f in inner]
        self.assertEqual(codes, [[], [HEAD2, BLOCK]] + [[BLOCK]] * (len(raw.blocks) - 1) + [[]] * 2)
        self.assertEqual(read_stream_head(inner[1][0][1]),
                         {"reserved": 0, "playback": (0, 11025, 8, 2),
                          "format": (swf.RAW, 11025, 8, 2), "per_frame": 919})


@unittest.skipUnless(HAVE_LAME, "lame is not installed")
class LameTest(unittest.TestCase):
    def test_encoding_at_each_rate(self):
        sine = swf.tone(440, 22050, 22050)
        for rate, version, samples in ((11025, 2.5, 576), (22050, 2, 576), (44100, 1, 1152)):
            with self.subTest(rate=rate):
                data = swf.mp3_encode(sine, 22050, rate=rate)
                self.assertNotIn(data[:3], (b"ID3",))
                frames = swf.mp3_frames(data)
                self.assertEqual(b"".join(f.data for f in frames), data, "nothing was dropped")
                self.assertEqual({(f.version, f.rate, f.channels, f.bitrate, f.samples)
                                  for f in frames}, {(version, rate, 1, 32, samples)})
                # All of the second, after lame's delay, is there.
                self.assertGreaterEqual(len(frames) * samples, rate + swf.MP3_DELAY)

    def test_the_same_sound_gives_the_same_bytes_from_each_kind_of_source(self):
        stereo = [v for s in swf.tone(300, 4000, 11025) for v in (s, -s)]
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "in.wav")
            swf._write_wav(path, stereo, 11025, 2)
            with open(path, "rb") as f:
                wav = f.read()
            encoded = {swf.mp3_encode(source, 11025, 2) for source in
                       (stereo, swf.pcm(stereo), wav, path, stereo)}
        self.assertEqual(len(encoded), 1)
        self.assertEqual(swf.mp3_frames(encoded.pop())[0].channels, 1)

    def test_an_event_sound_skips_the_delay(self):
        frames = swf.mp3_frames(swf.mp3_encode(swf.tone(440, 5000, 22050), 22050))
        m = swf.Movie(10, 10)
        m.define_sound(swf.mp3_sound(frames, sample_count=5000))
        m.show_frame()
        (_, body), = [t for t in read_movie(m.bytes())[2][0] if t[0] == DEFINE_SOUND]
        self.assertEqual(sound_format(body[2]), (swf.MP3, 22050, 16, 1))
        self.assertEqual(struct.unpack_from("<Ih", body, 3), (5000, swf.MP3_DELAY))
        self.assertEqual(len(split_mp3(body[9:])), len(frames))
        with self.assertRaises(ValueError):
            swf.mp3_sound(frames, sample_count=len(frames) * 576)

    def test_rates_mp3_cannot_have_are_refused(self):
        with self.assertRaises(ValueError):
            swf.mp3_encode([0] * 100, 22050, rate=5512)


class SpeechCase(unittest.TestCase):
    """Speech with a cache folder of its own and an empty memory."""

    def setUp(self):
        tmp = tempfile.TemporaryDirectory()
        self.addCleanup(tmp.cleanup)
        self.cache = tmp.name
        for name, value in (("SPEECH_CACHE_DIR", tmp.name), ("_speech", {}),
                            ("_speech_warned", [])):
            patcher = mock.patch.object(swf, name, value)
            patcher.start()
            self.addCleanup(patcher.stop)


class SilentSpeechTest(SpeechCase):
    def test_without_the_programs_episodes_are_silent_but_for_the_click(self):
        err = io.StringIO()
        with mock.patch("shutil.which", return_value=None), mock.patch("sys.stderr", err):
            first = swf.episode_movie("小猫钓鱼", "101", 1)
            swf.episode_movie("小猫钓鱼", "101", 2)
        self.assertEqual(err.getvalue().count("\n"), 1, err.getvalue())
        count, _, frames = read_movie(first)
        self.assertEqual(count, 48)
        codes = {c for f in frames for c, _ in f}
        self.assertTrue({DEFINE_SOUND, DEFINE_BUTTON_SOUND} <= codes)
        self.assertFalse({HEAD, HEAD2, BLOCK} & codes)

    def test_a_failing_program_leaves_the_episode_silent(self):
        failure = subprocess.CalledProcessError(1, "espeak-ng")
        with mock.patch("subprocess.run", side_effect=failure), \
                mock.patch("sys.stderr", io.StringIO()):
            self.assertIsNone(swf.speech_mp3("你好"))
            self.assertEqual(read_movie(swf.episode_movie("A", "1", 1))[0], 48)


@unittest.skipUnless(HAVE_SPEECH, "espeak-ng or lame is not installed")
class SpeechTest(SpeechCase):
    def test_each_text_is_spoken_once_and_kept(self):
        frames = swf.speech_mp3("小猫钓鱼，第1集。")
        self.assertEqual({(f.rate, f.channels) for f in frames}, {(22050, 1)})
        self.assertEqual(len(os.listdir(self.cache)), 1)
        with mock.patch("subprocess.run", side_effect=AssertionError("spoken again")):
            self.assertIs(swf.speech_mp3("小猫钓鱼，第1集。"), frames)
            swf._speech.clear()
            self.assertEqual(swf.speech_mp3("小猫钓鱼，第1集。"), frames)  # from the folder
        # A broken file in the folder is made again.
        (name,) = os.listdir(self.cache)
        with open(os.path.join(self.cache, name), "wb") as f:
            f.write(b"broken")
        swf._speech.clear()
        self.assertEqual(swf.speech_mp3("小猫钓鱼，第1集。"), frames)

    def test_an_episode_speaks_and_ends_after_its_voice(self):
        data = swf.episode_movie("小猫钓鱼", "101", 1, padding=1000)
        swf._speech.clear()
        shutil.rmtree(self.cache)
        self.assertEqual(swf.episode_movie("小猫钓鱼", "101", 1, padding=1000), data,
                         "the same episode twice is the same bytes")
        count, fps, frames = read_movie(data)
        self.assertEqual(len(frames), count)
        head = read_stream_head([b for c, b in frames[0] if c == HEAD2][0])
        self.assertEqual(head["format"], (swf.MP3, 22050, 16, 1))
        self.assertEqual(head["per_frame"], 1838)
        with_block = [i for i, f in enumerate(frames) if any(c == BLOCK for c, _ in f)]
        self.assertEqual(with_block, list(range(len(with_block))), "from the first frame on")
        total = 0
        for i in with_block:
            n, _, lengths = read_mp3_block([b for c, b in frames[i] if c == BLOCK][0])
            self.assertEqual(n, 576 * len(lengths))
            total += n
        voice = swf.episode_voice("小猫钓鱼", 1)
        self.assertEqual(total, sum(f.samples for f in voice))
        self.assertGreater(total, 22050, "a second at least")
        # The voice has ended, and more, when the last frame sends kefoend.
        self.assertGreaterEqual((count - 1) / fps - total / 22050,
                                swf.VOICE_TAIL_FRAMES / fps)
        self.assertIn(b"kefoend", b"".join(b for _, b in frames[-1]))
        self.assertEqual(count, max(48, math.ceil(total * fps / 22050) + 1 + swf.VOICE_TAIL_FRAMES))
        # The click: a short raw sound on the NEXT button's press.
        (_, sound), = [t for t in frames[0] if t[0] == DEFINE_SOUND]
        (_, button_sound), = [t for t in frames[0] if t[0] == DEFINE_BUTTON_SOUND]
        self.assertEqual(sound_format(sound[2]), (swf.RAW, 22050, 16, 1))
        self.assertLess(struct.unpack_from("<I", sound, 3)[0], 22050 // 50)
        ids = struct.unpack_from("<HHHHH", button_sound)
        button_ids = [struct.unpack_from("<H", b)[0] for c, b in frames[0] if c == 34]
        self.assertEqual(ids[0], button_ids[0])
        self.assertEqual(ids[1:4], (0, 0, struct.unpack_from("<H", sound)[0]))


class TestMoviesTest(unittest.TestCase):
    """The sound movies hold what their descriptions say, which the player's tests rely on."""

    @classmethod
    def setUpClass(cls):
        tmp = tempfile.TemporaryDirectory()
        cls.addClassCleanup(tmp.cleanup)
        cls.movies = {}
        names = ["sound_event", "sound_stream_raw", "sound_button"]
        if HAVE_LAME:
            names.append("sound_stream_mp3")
        for name in names:
            cls.movies[name] = read_movie(getattr(make_swf, name + "_movie")())

    def test_event(self):
        count, _, frames = self.movies["sound_event"]
        self.assertEqual(count, 1)
        (_, define), = [t for t in frames[0] if t[0] == DEFINE_SOUND]
        (_, start), = [t for t in frames[0] if t[0] == START_SOUND]
        self.assertEqual(struct.unpack_from("<H", define)[0], 2)
        self.assertEqual(sound_format(define[2]), (swf.RAW, 11025, 16, 1))
        self.assertEqual(struct.unpack_from("<I", define, 3)[0], 11025)
        samples = struct.unpack("<11025h", define[7:])
        self.assertEqual(samples[:26], (8000,) * 25 + (-8000,))
        self.assertEqual(samples[-26:], (-8000,) + (8000,) * 25)  # 220 periods and a half
        self.assertEqual(struct.unpack_from("<H", start)[0], 2)
        self.assertEqual(read_info(start, 2)[0], {
            "flags": 0x0C, "loops": 2,
            "envelope": [(0, 32768, 32768), (44100, 0, 32768)]})

    def test_raw_stream(self):
        count, fps, frames = self.movies["sound_stream_raw"]
        self.assertEqual((count, fps), (10, 10))
        head = read_stream_head([b for c, b in frames[0] if c == HEAD2][0])
        self.assertEqual(head["format"], (swf.RAW, 22050, 16, 2))
        self.assertEqual(head["per_frame"], 2205)
        for f, frame in enumerate(frames):
            (block,) = [b for c, b in frame if c == BLOCK]
            self.assertEqual(len(block), 8820)
            for i in (0, 13, 2204):
                phase = math.sin(2 * math.pi * (2205 * f + i) / 50)
                self.assertEqual(struct.unpack_from("<2h", block, 4 * i),
                                 (round(12000 * phase), round(6000 * phase)))

    def test_button(self):
        _, _, frames = self.movies["sound_button"]
        sounds = {struct.unpack_from("<H", b)[0]: b for c, b in frames[0] if c == DEFINE_SOUND}
        self.assertEqual(sorted(sounds), [6, 7])
        self.assertEqual(sound_format(sounds[6][2]), (swf.RAW, 22050, 16, 1))
        self.assertEqual(struct.unpack_from("<I", sounds[6], 3)[0], 441)
        self.assertEqual(sound_format(sounds[7][2]), (swf.RAW, 11025, 8, 1))
        self.assertEqual(sounds[7][7:], (b"\xa0" * 10 + b"\x60" * 10) * 110 + b"\xa0" * 5)
        (_, body), = [t for t in frames[0] if t[0] == DEFINE_BUTTON_SOUND]
        self.assertEqual(struct.unpack_from("<HH", body), (5, 0))
        at = 4
        found = []
        for _ in range(3):
            (sid,) = struct.unpack_from("<H", body, at)
            info, at = read_info(body, at + 2)
            found.append((sid, info))
        self.assertEqual(found, [(7, {"flags": 0x13, "in": 4400, "out": 8800}),
                                 (6, {"flags": 0}), (7, {"flags": 0x20})])

    @unittest.skipUnless(HAVE_LAME, "lame is not installed")
    def test_mp3_stream(self):
        count, fps, frames = self.movies["sound_stream_mp3"]
        self.assertEqual((count, fps), (24, 12))
        head = read_stream_head([b for c, b in frames[0] if c == HEAD][0])
        self.assertEqual(head, {"reserved": 0, "playback": (0, 22050, 16, 1),
                                "format": (swf.MP3, 22050, 16, 1), "per_frame": 1838,
                                "latency": 0})
        counts = []
        for frame in frames:
            (block,) = [b for c, b in frame if c == BLOCK]
            n, _, lengths = read_mp3_block(block)
            self.assertEqual(n, 576 * len(lengths))
            self.assertTrue(set(lengths) <= {104, 105})
            counts.append(n)
        four = [2304] + [1728] * 4
        self.assertEqual(counts, four * 3 + [2304] + [1728] * 5 + [2304, 1728, 2880])
        self.assertEqual(sum(counts), 45504)


if __name__ == "__main__":
    unittest.main()
