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
    DOWN, HIT, ON_RELEASE, OVER, UP, Movie, action, gif_bytes, goto_frame, png_bytes, push,
    set_target, Shape, Sprite, compress, cxform, episode_movie, fscommand, goto_label, loading_movie,
    logo_movie, matrix, scramble, set_variable, stop)

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


def button_movie():
    """A "next" button over (40, 40)-(60, 60): red when up, blue under the pointer, black when
    pressed; its release sets _root.pressed and sends "kefoend". A second button's face is a
    movie clip of a red square over (5, 5)-(15, 15)."""
    m = Movie(100, 100)
    shapes = {}
    for name, color in (("up", RED), ("over", BLUE), ("down", BLACK)):
        shape = Shape()
        shape.rect(0, 0, 20, 20, shape.solid(color))
        shapes[name] = m.shape(shape)
    button = m.button([(UP | HIT, shapes["up"], 1, None), (OVER, shapes["over"], 2, None),
                       (DOWN, shapes["down"], 3, None)],
                      [(ON_RELEASE, set_variable("_root.pressed", "yes") + fscommand("kefoend"))])
    m.place_full(button, 1, matrix=matrix(40, 40))
    # A button whose face is a movie clip: the clip's first frame shows.
    face = Sprite()
    face.place_full(shapes["up"], 1, matrix=matrix(0, 0, 0.5, 0.5))
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


def test_movies(out):
    episode = episode_movie("小小画家", "1024", 3, frames=6, fps=12)
    write(os.path.join(out, "episode.swf"), episode)
    write(os.path.join(out, "episode_cws.swf"), compress(episode))
    write(os.path.join(out, "episode_kpv.swf"), scramble(compress(episode)))
    write(os.path.join(out, "episode_kpv_fws.swf"), scramble(episode))
    write(os.path.join(out, "episode_one_frame.swf"), episode_movie("One", "7", 12, frames=1))
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
