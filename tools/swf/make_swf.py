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

from swf import compress, episode_movie, loading_movie, logo_movie, scramble  # noqa: E402,F401


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


def test_movies(out):
    episode = episode_movie("小小画家", "1024", 3, frames=6, fps=12)
    write(os.path.join(out, "episode.swf"), episode)
    write(os.path.join(out, "episode_cws.swf"), compress(episode))
    write(os.path.join(out, "episode_kpv.swf"), scramble(compress(episode)))
    write(os.path.join(out, "episode_kpv_fws.swf"), scramble(episode))
    write(os.path.join(out, "episode_one_frame.swf"), episode_movie("One", "7", 12, frames=1))
    write(os.path.join(out, "logo.swf"), logo_movie("2024-05"))
    write(os.path.join(out, "load.swf"), loading_movie())


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
