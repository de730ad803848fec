#!/usr/bin/env python3
"""Writes the movies shipped with the player: DIR/web/logo.swf and DIR/web/load.swf.

    python3 tools/swf/make_swf.py --out DIR
    python3 tools/swf/make_swf.py --test-movies DIR   # the movies the native tests read

The functions of swf.py are importable from here too.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from swf import (  # noqa: E402,F401
    DOWN, HIT, ON_RELEASE, OVER, UP, Movie, SoundToolMissing, action, gif_bytes, goto_frame,
    mp3_encode, mp3_frames, mp3_stream, png_bytes, push, raw_sound, raw_stream, set_target, Shape,
    Sprite, compress, cxform, episode_movie, fscommand, goto_label, loading_movie, logo_movie,
    matrix, scramble, set_variable, sound_info, stop, tone)

RED, GREEN, BLUE, BLACK = 0xFF0000, 0x00FF00, 0x0000FF, 0x000000


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    # Written beside and renamed, so that a reader never sees half a movie.
    temp = path + ".part"
    with open(temp, "wb") as f:
        f.write(data)
    os.replace(temp, path)


def shipped(out):
    web = os.path.join(out, "web")
    write(os.path.join(web, "logo.swf"), logo_movie())
    write(os.path.join(web, "load.swf"), loading_movie())


def shapes_movie():
    """Fills and strokes whose pixels the tests compute; 100 x 100 pixels, white."""
    m = Movie(100, 100)
    square = Shape()
    square.rect(10, 10, 30, 30, square.solid(RED))
    m.place_full(m.shape(square), 1)
    # Two fills share the edge at x = 50.5: fill 0 on its left (east, going down), fill 1 on
    # its right.
    shared = Shape()
    green, blue = shared.solid(GREEN), shared.solid(BLUE)
    shared.move(50.5, 10, fill0=blue, fill1=green).line_to(50.5, 30)
    shared.move(50.5, 30, fill1=green).line_to(40, 30).line_to(40, 10).line_to(50.5, 10)
    shared.move(50.5, 10, fill1=blue).line_to(60, 10).line_to(60, 30).line_to(50.5, 30)
    m.place_full(m.shape(shared), 2)
    edges = Shape()
    edges.rect(70.25, 10, 90.75, 30, edges.solid(BLACK))
    m.place_full(m.shape(edges), 3)
    # The curve's apex lies at (30, 60).
    curve = Shape()
    red = curve.solid(RED)
    curve.move(10, 70, fill1=red).curve_to(30, 50, 50, 70).line_to(50, 90).line_to(10, 90) \
        .line_to(10, 70)
    m.place_full(m.shape(curve), 4)
    stroke = Shape()
    stroke.move(60, 80, line=stroke.line_style(4, BLACK)).line_to(90, 80)
    m.place_full(m.shape(stroke), 5)
    m.show_frame()
    return m.bytes()


def display_movie():
    """One square placed rotated and scaled, half transparent, and under a mask."""
    m = Movie(100, 100)
    square = Shape()
    square.rect(0, 0, 10, 10, square.solid(RED))
    sid = m.shape(square)
    m.place_full(sid, 1, matrix=matrix(20, 20, 2, 2, rotate=45))
    m.place_full(sid, 2, matrix=matrix(50, 10, 2, 2), cxform=cxform((1, 1, 1, 0.5)))
    mask = Shape()
    mask.rect(50, 40, 60, 60, mask.solid(BLACK))
    masked = Shape()
    masked.rect(40, 40, 80, 60, masked.solid(BLUE))
    m.place_full(m.shape(mask), 3, clip_depth=4)
    m.place_full(m.shape(masked), 4)
    m.show_frame()
    return m.bytes()


def fills_movie():
    """Gradients and bitmaps: a linear gradient from red to blue over x = 10..90, a radial one
    from red at (50, 40) to blue at 10 pixels, a 2 x 2 bitmap filling (10, 50)-(30, 70) ten
    pixels a texel, and the same bitmap placed on its own at (60, 50)."""
    m = Movie(100, 100)
    texels = [(255, 255, 0, 0), (255, 0, 255, 0), (255, 0, 0, 255), (128, 0, 0, 0)]
    bid = m.bitmap(2, 2, texels)
    linear = Shape()
    linear.rect(10, 10, 90, 30, linear.gradient(10, 10, 90, 30, [(0, RED, 255), (255, BLUE, 255)]))
    m.place_full(m.shape(linear), 1)
    radial = Shape()
    radial.rect(35, 32, 65, 48,
                radial.gradient(40, 30, 60, 50, [(0, RED, 255), (255, BLUE, 255)], radial=True))
    m.place_full(m.shape(radial), 2)
    pattern = Shape()
    pattern.rect(10, 50, 30, 70, pattern.bitmap_fill(bid, 10, 50, scale=10))
    m.place_full(m.shape(pattern), 3)
    m.place_full(bid, 4, matrix=matrix(60, 50))
    m.show_frame()
    return m.bytes()


def text_movie():
    """Text from a font's glyphs: "A" is a full em square, "B" the left half of one, both
    standing on the baseline. A static text of "AB" 10 pixels high with its baseline at (10, 30),
    and a field of the same font at (10, 50)."""
    m = Movie(100, 100)
    square = Shape().move(0, -1024).line_to(1024, -1024).line_to(1024, 0).line_to(0, 0) \
        .line_to(0, -1024)
    half = Shape().move(0, -1024).line_to(512, -1024).line_to(512, 0).line_to(0, 0) \
        .line_to(0, -1024)
    font = m.font("Blocks", {"A": (square, 1229), "B": (half, 1229)})
    m.place_full(m.static_text(font, "AB", 10, 30, 10, BLUE), 1)
    m.place_full(m.outline_text(font, 80, 20, "AB", 10, RED), 2, matrix=matrix(10, 50))
    m.show_frame()
    return m.bytes()


def square_button(m, more_on_release=b""):
    """A button of `m`, a 20 x 20 square: red when up, blue under the pointer, black when pressed;
    its release sets _root.pressed to "yes", then runs `more_on_release`. The button and its
    faces' shapes by state name."""
    faces = {}
    for name, color in (("up", RED), ("over", BLUE), ("down", BLACK)):
        shape = Shape()
        shape.rect(0, 0, 20, 20, shape.solid(color))
        faces[name] = m.shape(shape)
    button = m.button([(UP | HIT, faces["up"], 1, None), (OVER, faces["over"], 2, None),
                       (DOWN, faces["down"], 3, None)],
                      [(ON_RELEASE, set_variable("_root.pressed", "yes") + more_on_release)])
    return button, faces


def button_movie():
    """A "next" button over (40, 40)-(60, 60): red when up, blue under the pointer, black when
    pressed; its release sets _root.pressed and sends "kefoend". A second button's face is a
    movie clip of a red square over (5, 5)-(15, 15)."""
    m = Movie(100, 100)
    button, faces = square_button(m, fscommand("kefoend"))
    m.place_full(button, 1, matrix=matrix(40, 40))
    # A button whose face is a movie clip: the clip's first frame shows.
    face = Sprite()
    face.place_full(faces["up"], 1, matrix=matrix(0, 0, 0.5, 0.5))
    face.show_frame()
    m.place_full(m.button([(UP | HIT, m.sprite(face), 1, None)]), 2, matrix=matrix(5, 5))
    m.actions(stop())
    m.show_frame()
    m.show_frame()
    return m.bytes()


def morph_movie():
    """A morph from a red square (10, 10)-(30, 30) to a blue one (10, 10)-(50, 50), placed at
    ratio 0, then half way, then at its end."""
    m = Movie(100, 100)
    start, end = Shape(), Shape()
    start.rect(10, 10, 30, 30, 1)
    end.rect(10, 10, 50, 50, 1)
    mid = m.morph(start, end, [(RED, BLUE)])
    m.place_full(mid, 1, ratio=0)
    m.show_frame()
    m.modify(1, ratio=32768)
    m.show_frame()
    m.modify(1, ratio=65535)
    m.show_frame()
    return m.bytes()


def pictures_movie():
    """Pictures in DefineBitsJPEG2 tags for the platform's decoder: a PNG of two pixels, red and
    half-transparent blue, at (0, 0), and a GIF of two by two, red, green, blue and a transparent
    one, at (10, 0)."""
    m = Movie(100, 100)
    png = m.picture(png_bytes(2, 1, [(255, 0, 0, 255), (0, 0, 255, 128)]))
    gif = m.picture(gif_bytes(2, 2, [(255, 0, 0), (0, 255, 0), (0, 0, 255), (0, 0, 0)],
                              [0, 1, 2, 3], transparent=3))
    m.place_full(png, 1)
    m.place_full(gif, 2, matrix=matrix(10, 0))
    m.show_frame()
    return m.bytes()


def script_movie():
    """Actions that reach a movie clip "mover" (three frames moving a red square 10 pixels a
    frame, placed at (10, 50)): the main timeline tells it to go to its third frame and stop,
    moves it to x = 50, halves its alpha through a member, and sets variables inside it by two
    kinds of path; the clip's first frame sets a variable of its parent."""
    m = Movie(100, 100)
    square = Shape()
    square.rect(0, 0, 10, 10, square.solid(RED))
    sid = m.shape(square)
    clip = Sprite()
    clip.place_full(sid, 1, matrix=matrix(0, 0))
    clip.actions(set_variable("_parent.fromClip", "yes"))
    clip.show_frame()
    for x in (10, 20):
        clip.modify(1, matrix=matrix(x, 0))
        clip.show_frame()
    m.place_full(m.sprite(clip), 1, matrix=matrix(10, 50), name="mover")
    m.actions(set_target("/mover"), goto_frame(2), set_target(""),
              push("mover", 0, 50), action(0x23),
              set_variable("/mover:v", "inside"), set_variable("_root.mover.w", "also"),
              push("_root"), action(0x1C), push("mover"), action(0x4E),
              push("_alpha", 50), action(0x4F))
    m.show_frame()
    return m.bytes()


def root_movie():
    """A red square over (10, 10)-(20, 20) on a main timeline that moves itself 30 pixels to the
    right and halves its own alpha."""
    m = Movie(100, 100)
    square = Shape()
    square.rect(10, 10, 20, 20, square.solid(RED))
    m.place_full(m.shape(square), 1)
    m.actions(push("_root"), action(0x1C), push("_x", 30), action(0x4F),
              push("_root"), action(0x1C), push("_alpha", 50), action(0x4F))
    m.show_frame()
    return m.bytes()


def sprite_movie():
    """A movie clip of three frames moves a square 10 pixels a frame while the main timeline
    stops on its second frame."""
    m = Movie(100, 100)
    square = Shape()
    square.rect(0, 0, 10, 10, square.solid(RED))
    sid = m.shape(square)
    clip = Sprite()
    clip.place_full(sid, 1, matrix=matrix(0, 0))
    clip.show_frame()
    for x in (10, 20):
        clip.modify(1, matrix=matrix(x, 0))
        clip.show_frame()
    m.place_full(m.sprite(clip), 1, matrix=matrix(10, 50), name="mover")
    m.show_frame()
    m.actions(stop())
    m.show_frame()
    return m.bytes()


def actions_movie():
    """The first frame sets a variable and goes to the label "end", whose frame sends
    "kefoend" and sets another."""
    m = Movie(100, 100)
    m.actions(set_variable("count", "1"), goto_label("end"))
    m.show_frame()
    m.show_frame()
    m.label("end")
    m.actions(fscommand("kefoend"), set_variable("_root.done", "yes"))
    m.show_frame()
    m.show_frame()
    return m.bytes()


def sound_event_movie():
    """One frame, 12 fps, that starts an event sound and stops.

    DefineSound id 2: uncompressed little-endian (codec 3), 11025 Hz, 16-bit, mono, SampleCount
    11025 (one second): a square wave of period 50 samples, samples 0-24 of each period +8000 and
    25-49 -8000 (220.5 Hz). StartSound of id 2 in frame 1 with SOUNDINFO flags 0x0C (loops and
    envelope only): LoopCount 2 (the sound plays twice, 22050 samples), two envelope points,
    Pos44 0 with left and right 32768, and Pos44 44100 (the end of the first play) with left 0 and
    right 32768. The frame's actions stop the movie."""
    m = Movie(100, 100)
    square = [8000 if i % 50 < 25 else -8000 for i in range(11025)]
    sid = m.define_sound(raw_sound(square, 11025))
    m.start_sound(sid, sound_info(loops=2, envelope=[(0, 32768, 32768), (44100, 0, 32768)]))
    m.actions(stop())
    m.show_frame()
    return m.bytes()


# A sine of 440 Hz, 2 s at 22050 Hz, amplitude 16000.
STREAM_SINE = (440, 44100, 22050, 16000)


def sound_stream_mp3_movie():
    """24 frames at 12 fps (2 s) carrying an MP3 stream of a 440 Hz sine (amplitude 16000 of
    32767 before encoding) 2 s long, 44100 samples, encoded by lame at 22050 Hz, mono, 32 kbit/s.

    Frame 1 holds a SoundStreamHead (tag 18, not 45): playback and stream 22050 Hz, 16-bit, mono,
    MP3; StreamSoundSampleCount 1838 (22050 / 12, rounded); LatencySeek 0. Frames 1-24 each hold
    one SoundStreamBlock: SampleCount, SeekSamples, then whole MPEG-2 layer III frames of 576
    samples (104 or 105 bytes each), 79 frames in all, 45504 samples (lame's delay of 1105 and its
    padding included). Frame f (from 0) holds the MP3 frames that begin before sample
    floor((f + 1) * 22050 / 12); the last frame holds the rest. Sample counts of the blocks:
    2304, 1728 x 4, 2304, 1728 x 4, 2304, 1728 x 4, 2304, 1728 x 5, 2304, 1728, 2880.
    SeekSamples is floor(f * 22050 / 12) minus the first sample of the block: 0 in frame 1,
    between -575 and 0 after."""
    freq, count, rate, amplitude = STREAM_SINE
    frames = mp3_frames(mp3_encode(tone(freq, count, rate, amplitude), rate))
    m = Movie(100, 100)
    m.stream(mp3_stream(frames, 12, movie_frames=24), head2=False)
    for _ in range(24):
        m.show_frame()
    return m.bytes()


def sound_stream_raw_movie():
    """10 frames at 10 fps (1 s) carrying an uncompressed stream.

    Frame 1 holds a SoundStreamHead2 (tag 45): playback and stream 22050 Hz, 16-bit, stereo,
    codec 3 (little-endian); StreamSoundSampleCount 2205; no LatencySeek. Each of frames 1-10
    holds a SoundStreamBlock of exactly 2205 sample pairs (8820 bytes), 22050 in all. Left:
    round(12000 * sin(2 pi * i / 50)), a 441 Hz sine; right: the same at amplitude 6000
    (round(6000 * sin(2 pi * i / 50))); i counts from the stream's first sample."""
    left = tone(441, 22050, 22050, 12000)
    right = tone(441, 22050, 22050, 6000)
    samples = [v for pair in zip(left, right) for v in pair]
    m = Movie(100, 100, fps=10)
    m.stream(raw_stream(samples, 22050, 10, channels=2))
    for _ in range(10):
        m.show_frame()
    return m.bytes()


def sound_button_movie():
    """A button over (40, 40)-(60, 60), as in button.swf: red up, blue over, black down; its
    release sets _root.pressed. Ids: shapes 2-4, button 5, sounds 6 and 7.

    Sound 6, the click: codec 3, 22050 Hz, 16-bit, mono, SampleCount 441 (20 ms), a 3 kHz sine
    of amplitude 20000 fading by 1/e every 2 ms. Sound 7, the hum: codec 3, 11025 Hz, 8-bit
    (unsigned, 128 silence), mono, SampleCount 2205 (0.2 s), a square wave of period 20 samples,
    bytes 0xA0 (samples 0-9 of each period) and 0x60 (10-19).

    DefineButtonSound of button 5: over-up to idle (the pointer leaves) none (id 0); idle to
    over-up (the pointer enters) sound 7 with SOUNDINFO flags 0x13 (SyncNoMultiple, in and out
    points): InPoint 4400, OutPoint 8800 (samples 1100 to 2200 of the sound, in 44 kHz units);
    over-up to over-down (pressed) sound 6 with flags 0; over-down to over-up (released) sound 7
    with flags 0x20 (SyncStop). The frame's actions stop the movie."""
    m = Movie(100, 100)
    button, _ = square_button(m)
    click = m.define_sound(raw_sound(tone(3000, 441, 22050, 20000, decay=0.002), 22050))
    hum = m.define_sound(raw_sound([0x2000 if i % 20 < 10 else -0x2000 for i in range(2205)],
                                   11025, bits=8))
    m.button_sound(button, None, (hum, sound_info(no_multiple=True, in_point=4400, out_point=8800)),
                   click, (hum, sound_info(sync_stop=True)))
    m.place_full(button, 1, matrix=matrix(40, 40))
    m.actions(stop())
    m.show_frame()
    return m.bytes()


def test_movies(out):
    episode = episode_movie("小小画家", "1024", 3, frames=6, fps=12, sound=False)
    write(os.path.join(out, "episode.swf"), episode)
    write(os.path.join(out, "episode_cws.swf"), compress(episode))
    write(os.path.join(out, "episode_kpv.swf"), scramble(compress(episode)))
    write(os.path.join(out, "episode_kpv_fws.swf"), scramble(episode))
    write(os.path.join(out, "episode_one_frame.swf"),
          episode_movie("One", "7", 12, frames=1, sound=False))
    write(os.path.join(out, "logo.swf"), logo_movie("2024-05"))
    write(os.path.join(out, "load.swf"), loading_movie())
    write(os.path.join(out, "shapes.swf"), shapes_movie())
    write(os.path.join(out, "display.swf"), display_movie())
    write(os.path.join(out, "sprite.swf"), sprite_movie())
    write(os.path.join(out, "fills.swf"), fills_movie())
    write(os.path.join(out, "text.swf"), text_movie())
    write(os.path.join(out, "button.swf"), button_movie())
    write(os.path.join(out, "morph.swf"), morph_movie())
    write(os.path.join(out, "pictures.swf"), pictures_movie())
    write(os.path.join(out, "script.swf"), script_movie())
    write(os.path.join(out, "root.swf"), root_movie())
    write(os.path.join(out, "actions.swf"), actions_movie())
    write(os.path.join(out, "sound_event.swf"), sound_event_movie())
    write(os.path.join(out, "sound_stream_raw.swf"), sound_stream_raw_movie())
    write(os.path.join(out, "sound_button.swf"), sound_button_movie())
    # A spoken episode as the content server makes it (silent without espeak-ng or lame).
    write(os.path.join(out, "episode_voice.swf"), episode_movie("小小画家", "1024", 3, frames=6))
    try:
        write(os.path.join(out, "sound_stream_mp3.swf"), sound_stream_mp3_movie())
    except SoundToolMissing as e:
        sys.stderr.write("make_swf.py: %s; sound_stream_mp3.swf is not written\n" % e)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", help="folder that receives web/logo.swf and web/load.swf")
    parser.add_argument("--test-movies", metavar="DIR", help="folder for the test movies")
    args = parser.parse_args(argv)
    if not args.out and not args.test_movies:
        parser.error("give --out or --test-movies")
    if args.out:
        shipped(args.out)
    if args.test_movies:
        test_movies(args.test_movies)
    return 0


if __name__ == "__main__":
    sys.exit(main())
