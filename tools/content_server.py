#!/usr/bin/env python3
"""Demo content server: the content site that the player and its tray companion talk to.

Standard library only; runs with any Python 3.8 or later.

Start it in the foreground:

    python3 tools/content_server.py [--listen HOST:PORT] [--log FILE]

--listen defaults to 127.0.0.1:8321 (the default content host of the build); a port of 0 takes a
free port, and the address actually bound is printed on the first line of standard output.
--log appends one JSON line per request to FILE (none by default).

As a background service for test runs (the ctest fixture DemoServer uses this):

    python3 tools/content_server.py --background --state-dir DIR [--listen 127.0.0.1:0] [--log F]
    python3 tools/content_server.py --stop --state-dir DIR

--background returns once the server listens; DIR then holds "address" (HOST:PORT, no line end)
and "pid". --fresh-log empties the log file before the server starts. --stop ends the server
recorded in DIR. A background server also ends by itself after --max-lifetime seconds (default
3600), so a test run that dies leaves nothing behind for long.

Site addresses (pages are GBK text, "text/html; charset=gbk"):

    /a/zodivodedozi/                      start page: series links that call window.external.AddUrl
    /member/index1.php[?user=U&pass=P&pic=jpg|png|gif|bad]
                                          log-in form; with user and pass it calls
                                          window.external.Web_Logo(U, md5(P), "U;uid;level;picture")
    /bbs/forum.php                        forum
    /bbs/home.php?mod=spacecp             the user's space
    /bbs/home.php?mod=space&do=blog       diary
    /bbs/home.php?mod=space&do=album      album
    /plus/search_v.php?channeltype=7&q=Q  search (Q in GBK; empty lists every series)
    /plus/play.php?aid=ID                 play list: one episode address per line (CR LF after
                                          each); an unknown ID gives an empty body
    /media/ID/N.swf                       episode N of series ID: plain (FWS), compressed (CWS) or
                                          scrambled (KPV), as the catalogue below says
    /images/getlogo.html                  version tag of the logo movie (--logo-tag, default "1")
    /images/logo1.swf                     the logo movie
    /images/avatar.jpg|.png|.gif|.bad     member pictures (".bad" is no picture at all)
    /toluad/getplayaad.html, /toluad/getpause.html, /toluad/getstop.html
                                          advertising pages
    /toluad/getver.html                   the tray's version text (--version-text, default
                                          "1.0.0.1", no line end)
    /toluad/update.ex_                    the installer (--installer FILE, else a small stand-in)
    /toluad/getNotice.html                the tray's notice page, with an "app:" link

Series 199 (200 episodes) is on no page: ./soak.sh plays it through.

The movies come from tools/swf/make_swf.py, built at the first request and kept in memory. While
that tool is missing, movie addresses answer 404. Episodes speak through espeak-ng and lame when
both are installed (about a tenth of a second for each new title; the speech is also kept in the
temporary folder, so a restarted server makes it again only for titles it never spoke).

Test addresses:

    /__test/bytes?n=N[&kind=binary|text]  N bytes: byte i is i % 251 (binary, the default) or
                                          ord('a') + i % 26 (text); any other parameter (a token
                                          that finds the request in the log) is ignored

Control (never logged; GET with query parameters or POST with a JSON object):

    /__control/fault    path, and any of: delay (seconds before the answer), trickle_bytes_per_second
                        (body sent slowly), status (this status with a short error page),
                        cut_after_bytes (headers with the full length, then that many body bytes,
                        a pause of 0.2 s for the client to read them, then a reset connection;
                        -1 resets before any answer), empty_body (true:
                        status 200 with no body), cache_max_age (headers that let a client keep
                        the answer for that many seconds), times (applies to the next N requests
                        only).
                        path matches the request path alone, or path and query when it holds a
                        "?"; a trailing "*" matches every path that begins with the rest.
    /__control/body     path, and one of body (POST: text, sent as GBK; GET: the bytes that its
                        percent-encoding gives), body_base64, file (a local file read at each
                        request); optional content_type and status. Replaces what the path serves
                        (matched like faults, without "*").
    /__control/reset    drops every fault and replaced body and forgets the recorded requests.
    /__control/requests the requests recorded since the last reset, as a JSON list.

Log line (JSON, one per request, written when the request arrives, before any delay):
    {"time": seconds since the epoch, "client": address, "method": "GET", "path": "/a/b",
     "query": "x=1", "headers": {"Name": "value", ...}}
Header names keep the case the client sent; repeated headers are joined with ", ".
"""

import argparse
import base64
import hashlib
import html
import json
import os
import signal
import socket
import struct
import subprocess
import sys
import threading
import time
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, quote, unquote_to_bytes

DEFAULT_LISTEN = "127.0.0.1:8321"
PAGE_TYPE = "text/html; charset=gbk"
SWF_TYPE = "application/x-shockwave-flash"

# --- demo catalogue -----------------------------------------------------------------------------

# Episode forms: how each episode file is stored on the server.
PLAIN, COMPRESSED, SCRAMBLED, SCRAMBLED_COMPRESSED = "plain", "compressed", "scrambled", "kpv-cws"


class Series:
    def __init__(self, sid, name, category, forms, quoted=False):
        self.id = sid
        self.name = name
        self.category = category
        self.forms = forms  # one form per episode, in order
        self.quoted = quoted  # the name holds a space, so the page quotes it

    def add_url_value(self):
        name = '"%s"' % self.name if self.quoted else self.name
        return "tolu_%s_%s_%s" % (name, self.id, self.category)

    def episode_path(self, n):
        return "/media/%s/%d.swf" % (self.id, n)


CATALOGUE = [
    Series("101", "小猫钓鱼", "故事", [PLAIN, PLAIN, PLAIN]),
    Series("102", "数字歌", "儿歌", [COMPRESSED, COMPRESSED, COMPRESSED]),
    Series("103", "英语字母", "英语", [SCRAMBLED, SCRAMBLED]),
    Series("104", "三只小猪", "故事", [PLAIN, COMPRESSED, SCRAMBLED, SCRAMBLED_COMPRESSED]),
    Series("105", "Big Bear", "英语", [PLAIN], quoted=True),
]
# A long series for the soak run (./soak.sh): served like the others but on no page, so the
# pages and their tests stay as they are.
SOAK_SERIES = Series("199", "小球跳跳", "儿歌", [PLAIN, COMPRESSED, SCRAMBLED, SCRAMBLED_COMPRESSED] * 50)
SERIES_BY_ID = {s.id: s for s in CATALOGUE + [SOAK_SERIES]}

# Member pictures; the JPEG and GIF were drawn once with ImageMagick.
AVATAR_JPEG = base64.b64decode(
    "/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAoHBwgHBgoICAgLCgoLDhgQDg0NDh0VFhEYIx8lJCIfIiEmKzcvJik0KSEiMEEx"
    "NDk7Pj4+JS5ESUM8SDc9Pjv/2wBDAQoLCw4NDhwQEBw7KCIoOzs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7Ozs7"
    "Ozs7Ozs7Ozs7Ozs7Ozv/wAARCABAAEgDASIAAhEBAxEB/8QAGwABAQADAQEBAAAAAAAAAAAAAAQFBgcDAQL/xAAzEAAABQMD"
    "AQQHCQAAAAAAAAAAAQIDEwQFYQYRMRIhIlGRByNBUnGBwRRCU2KSocLR8P/EABoBAAIDAQEAAAAAAAAAAAAAAAADAgQFAQb/"
    "xAAdEQACAwEAAwEAAAAAAAAAAAAAAQIREgMEIUFh/9oADAMBAAIRAxEAPwDapgmEMwTDcs87kumCYQzDIW+011xLrab6W/xF"
    "nsR/DxEXNRVslHm5Okj8zBMMsWk3ejc61JK8Cb7PPcY+usdfQoNw0E62Xaamz32+JciC7wbpMZLxukVbR4zBMIZgmDbE5Lpg"
    "EMwAsMkE2QmyIJgmCbLGTadM2srrWKW8RnTsbGoveP2EN+SkkpJKSIkkWxERdhDAaKaJGnG3C5ecWs/Pp/iNgGf2m5SNPhBQ"
    "gv0AABI80vVlpRRKTXUyelpxXStJcJV4lg/9yNamyOjaiZJ/T1ck/utGv9Pe+g5VMNDhNuPszfI5qM/X0vmyAgmAOsr5IZsh"
    "NkQTZCbIVY/J1X0d3JFRanqE1+tp3Ook/kV4fPfzIbgOEWe+VNluLdbSq7yexST4Wn2keB12xaqtd/ZT9nfS3UGXep1nssjx"
    "7xZL9hU6wadou8pKqZmgAY273+2WNg3K+qShW26WiPda/gn68BKVjm6INbXFFBpx5Bq2cqTJpBeO/Py238yHKpsj31Fqao1D"
    "cJ3fVso3Jloj3JBf2ftMYmbIu81mNFHq9ysvmyAgmyAZYrJBNkJsiGbITZCrLGS6bI+zbcGIJshNkFhkzadQXVDMKLpWJa46"
    "CfUSfLcRqqDUo1KUZmfJmfIgmyE2QWdyXTZCbIhmyE2QWcyXTZAQzZAFhk//2Q=="
)
AVATAR_GIF = base64.b64decode(
    "R0lGODlhSABAAPEAACEvQv/MM7+fN4FzOyH5BAAAAAAALAAAAABIAEAAAALAjI+py+0Po5y02ouz3rz7D4biSJbmiabqyran"
    "MAAyMAyC4FbxzPd4/tj1hrwBkEFMDo8IofIJ+AEF0KpM2qJarViVdsttgces77hqVJ3JKeca2iW92ac5GGW2P+Mhtz6ZVuL3"
    "R1RHWGV4+JSomMTYuGQyCBlIkgd59YI5xBey2ZNy2Vhp8imzMvnXKbeZhblaIjoHayJ7Rquph5tit6uSCsjUYFskDHFTU+Rr"
    "zNzs/AwdLT1NXW19jZ2tvc3dLVEAADs="
)


def make_png(width=72, height=64):
    """A small RGB picture: a diagonal gradient."""
    rows = b"".join(
        b"\x00" + bytes(c for x in range(width) for c in ((x * 3) & 0xFF, (y * 4) & 0xFF, 0x80))
        for y in range(height)
    )

    def chunk(kind, data):
        return (
            struct.pack(">I", len(data))
            + kind
            + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
        )

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", ihdr)
        + chunk(b"IDAT", zlib.compress(rows))
        + chunk(b"IEND", b"")
    )


AVATARS = {
    "jpg": ("image/jpeg", AVATAR_JPEG),
    "png": ("image/png", make_png()),
    "gif": ("image/gif", AVATAR_GIF),
    "bad": ("application/octet-stream", b"this is not a picture\r\n"),
}

STAND_IN_INSTALLER = b"Demo installer stand-in: start the server with --installer FILE.\r\n"

# Episodes carry this much data that nothing shows, so that they have the size of a real cartoon
# and their downloads take long enough to show progress.
EPISODE_PADDING = 40 * 1024

# --- movies ---------------------------------------------------------------------------------------

_SWF_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "swf")


class Movies:
    """Builds each movie at its first request and keeps the bytes."""

    def __init__(self, logo_tag):
        self._lock = threading.Lock()
        self._cache = {}
        self._tool = None
        self.logo_tag = logo_tag

    def _load_tool(self):
        if self._tool is None:
            if _SWF_DIR not in sys.path:
                sys.path.insert(0, _SWF_DIR)
            try:
                import make_swf  # noqa: E402 (written by the movie generator)

                self._tool = make_swf
            except Exception:  # missing or broken: movies answer 404 until it loads
                return None
        return self._tool

    def _get(self, key, build):
        with self._lock:
            if key in self._cache:
                return self._cache[key]
            tool = self._load_tool()
            if tool is None:
                return None
            data = build(tool)
            self._cache[key] = data
            return data

    def episode(self, series, n):
        form = series.forms[n - 1]

        def build(tool):
            fws = tool.episode_movie(series.name, series.id, n, padding=EPISODE_PADDING)
            if form == PLAIN:
                return fws
            if form == COMPRESSED:
                return tool.compress(fws)
            if form == SCRAMBLED:
                return tool.scramble(fws)
            return tool.scramble(tool.compress(fws))

        return self._get(("episode", series.id, n), build)

    def logo(self):
        tag = self.logo_tag
        return self._get(("logo", tag), lambda tool: tool.logo_movie(tag))


# --- pages ------------------------------------------------------------------------------------------


def page(title, body, script=""):
    """A site page as GBK bytes."""
    text = (
        "<html><head>"
        '<meta http-equiv="Content-Type" content="text/html; charset=gbk">'
        "<title>%s</title>"
        "<style>body{background:#202F42;color:#FFFFFF;font-size:12px;margin:6px}"
        "a{color:#7BD1FF}</style>"
        '<script type="text/javascript">%s</script>'
        "</head><body>%s</body></html>"
    ) % (html.escape(title), script, body)
    return text.encode("gbk")


def js(value):
    """A JavaScript string literal; GBK text stays as it is."""
    return json.dumps(value, ensure_ascii=False).replace("</", "<\\/")


# Calls of the script bridge, kept in one place so every page calls it alike.
BRIDGE_SCRIPT = """
function bridge() { try { return window.external; } catch (e) { return null; } }
function play(value) {
  var ext = bridge();
  if (!ext) { document.getElementById('msg').innerText = '请在学习播放器中打开'; return; }
  try { ext.AddUrl(value, true); } catch (e) {
    document.getElementById('msg').innerText = '暂时无法播放';
  }
}
"""


def series_links(series_list):
    """The script and the list of links that start the given series."""
    script = "var series = [%s];" % ", ".join(js(s.add_url_value()) for s in series_list)
    items = "".join(
        "<li><a href='#' onclick='play(series[%d]); return false;'>%s</a> [%s] 共%d集</li>"
        % (i, html.escape(s.name), html.escape(s.category), len(s.forms))
        for i, s in enumerate(series_list)
    )
    return script, "<ul>%s</ul><p id='msg'></p>" % items


def password_digest(password):
    return hashlib.md5(password.encode("gbk", "replace")).hexdigest()


def web_logo_script(host, user, digest, pic):
    value = "%s;%s;%s;http://%s/images/avatar.%s" % (user, "1001", "3", host, pic)
    return (
        "window.onload = function () { var ext = bridge(); if (ext) { try { "
        "ext.Web_Logo(%s, %s, %s); } catch (e) {} } };" % (js(user), js(digest), js(value))
    )


def start_page(req):
    links_script, links = series_links(CATALOGUE)
    body = "<h3>学习乐园</h3>%s" % links
    script = BRIDGE_SCRIPT + links_script
    member = req.cookie("member")
    if member:
        script += web_logo_script(req.host, member, req.cookie("digest"), "jpg")
    return page("学习乐园", body, script)


def member_page(req):
    user = req.param("user")
    password = req.param("pass")
    pic = req.param("pic") or "jpg"
    if pic not in AVATARS:
        pic = "jpg"
    if user and password:
        links_script, links = series_links(CATALOGUE[:2])
        body = "<h3>欢迎你，%s</h3><p>等级: 3</p>%s" % (html.escape(user), links)
        digest = password_digest(password)
        script = BRIDGE_SCRIPT + links_script + web_logo_script(req.host, user, digest, pic)
        # The start page reports the member again on later visits, as the site does.
        req.set_cookies.append("member=%s; path=/" % quote(user.encode("gbk", "replace")))
        req.set_cookies.append("digest=%s; path=/" % digest)
        return page("会员中心", body, script)
    body = (
        "<h3>会员登录</h3>"
        "<form method='get' action='/member/index1.php'>"
        "<p>用户名 <input name='user' size='12'></p>"
        "<p>密码 <input name='pass' type='password' size='12'></p>"
        "<p><input type='submit' value='登录'></p></form>"
    )
    if user or password:
        body += "<p>请输入用户名和密码</p>"
    return page("会员登录", body, BRIDGE_SCRIPT)


def search_page(req):
    q = req.param("q")
    found = [s for s in CATALOGUE if not q or q in s.name or q in s.category]
    links_script, links = series_links(found)
    if not found:
        links = "<p>没有找到相关内容</p>"
    body = "<h3>搜索: %s</h3>%s" % (html.escape(q), links)
    return page("搜索", body, BRIDGE_SCRIPT + links_script)


def home_page(req):
    mod, do = req.param("mod"), req.param("do")
    if mod == "spacecp":
        return page("我的空间", "<h3>我的空间</h3><p>个人资料设置</p>")
    if mod == "space" and do == "blog":
        return page("我的日记", "<h3>我的日记</h3><p>今天我学会了数字歌。</p>")
    if mod == "space" and do == "album":
        return page("我的相册", "<h3>我的相册</h3><img src='/images/avatar.jpg'>")
    return page("家园", "<h3>家园</h3>")


def play_list(req):
    series = SERIES_BY_ID.get(req.param("aid"))
    if series is None:
        return b""
    return "".join(series.episode_path(n) + "\r\n" for n in range(1, len(series.forms) + 1)).encode(
        "gbk"
    )


def ad_page(word):
    return lambda req: page("广告", "<h3>%s</h3><p>更多精彩内容，敬请期待。</p>" % word)


def notice_page(req):
    return page(
        "公告",
        "<h3>公告</h3><p>新的学习内容已经上线！</p>"
        "<p><a href='app:open'>打开播放器</a> <a href='http://%s/a/zodivodedozi/'>去看看</a></p>"
        % req.host,
    )


# --- server state -------------------------------------------------------------------------------


class Rule:
    def __init__(self, fault):
        self.path = fault["path"]
        self.fault = fault
        times = fault.get("times")
        self.remaining = None if times in (None, "") else int(times)


class State:
    """Faults, replaced bodies and recorded requests, shared by the request threads."""

    def __init__(self, log_path):
        self.lock = threading.Lock()
        self.faults = {}
        self.bodies = {}
        self.requests = []
        self.log_file = open(log_path, "a", encoding="utf-8") if log_path else None

    def reset(self):
        with self.lock:
            self.faults.clear()
            self.bodies.clear()
            self.requests.clear()

    def record(self, entry):
        line = json.dumps(entry, ensure_ascii=False)
        with self.lock:
            self.requests.append(entry)
            if self.log_file:
                self.log_file.write(line + "\n")
                self.log_file.flush()

    @staticmethod
    def _lookup(rules, path, query, prefixes):
        for key in ((path + "?" + query) if query else None, path):
            if key is not None and key in rules:
                return rules[key]
        if prefixes:
            best = None
            for key, rule in rules.items():
                if key.endswith("*") and path.startswith(key[:-1]):
                    if best is None or len(key) > len(best.path):
                        best = rule
            return best
        return None

    def take_fault(self, path, query):
        with self.lock:
            rule = self._lookup(self.faults, path, query, True)
            if rule is None:
                return None
            if rule.remaining is not None:
                rule.remaining -= 1
                if rule.remaining <= 0:
                    del self.faults[rule.path]
            return rule.fault

    def body_for(self, path, query):
        with self.lock:
            rule = self._lookup(self.bodies, path, query, False)
            return None if rule is None else rule.fault


# --- request handling -----------------------------------------------------------------------------


class Request:
    """What a page builder needs of a request."""

    def __init__(self, handler, path, query):
        self.host = handler.headers.get("Host") or "%s:%d" % handler.server.server_address[:2]
        self.path = path
        self.query = query
        self.params = parse_qs(query, keep_blank_values=True, encoding="gbk", errors="replace")
        self.cookies = {}
        for part in (handler.headers.get("Cookie") or "").split(";"):
            name, _, value = part.strip().partition("=")
            if name:
                self.cookies[name] = unquote_to_bytes(value).decode("gbk", "replace")
        self.set_cookies = []

    def param(self, name):
        values = self.params.get(name)
        return values[0] if values else ""

    def cookie(self, name):
        return self.cookies.get(name, "")


class Site:
    def __init__(self, movies, version_text, installer):
        self.movies = movies
        self.version_text = version_text
        self.installer = installer
        self.routes = {
            "/a/zodivodedozi/": (PAGE_TYPE, start_page),
            "/member/index1.php": (PAGE_TYPE, member_page),
            "/bbs/forum.php": (
                PAGE_TYPE,
                lambda req: page("论坛", "<h3>学习论坛</h3><p>家长交流区</p>"),
            ),
            "/bbs/home.php": (PAGE_TYPE, home_page),
            "/plus/search_v.php": (PAGE_TYPE, search_page),
            "/plus/play.php": (PAGE_TYPE, play_list),
            "/images/getlogo.html": (PAGE_TYPE, lambda req: self.movies.logo_tag.encode("gbk")),
            "/toluad/getplayaad.html": (PAGE_TYPE, ad_page("开始播放")),
            "/toluad/getpause.html": (PAGE_TYPE, ad_page("暂停一下")),
            "/toluad/getstop.html": (PAGE_TYPE, ad_page("下次再见")),
            "/toluad/getver.html": (PAGE_TYPE, lambda req: self.version_text.encode("gbk")),
            "/toluad/getNotice.html": (PAGE_TYPE, notice_page),
        }

    def answer(self, req):
        """(status, content type, body) for a request."""
        route = self.routes.get(req.path)
        if route:
            ctype, build = route
            return 200, ctype, build(req)
        if req.path == "/images/logo1.swf":
            return self._movie(self.movies.logo())
        if req.path.startswith("/images/avatar."):
            found = AVATARS.get(req.path[len("/images/avatar."):])
            if found:
                return (200,) + found
        if req.path.startswith("/media/"):
            parts = req.path[len("/media/"):].split("/")
            if len(parts) == 2 and parts[1].endswith(".swf"):
                series = SERIES_BY_ID.get(parts[0])
                number = parts[1][:-4]
                if series and number.isdigit() and 1 <= int(number) <= len(series.forms):
                    return self._movie(self.movies.episode(series, int(number)))
        if req.path == "/toluad/update.ex_":
            data = STAND_IN_INSTALLER
            if self.installer:
                with open(self.installer, "rb") as f:
                    data = f.read()
            return 200, "application/octet-stream", data
        if req.path == "/__test/bytes":
            return 200, "application/octet-stream", test_bytes(req.param("n"), req.param("kind"))
        return 404, PAGE_TYPE, page("404", "<h3>页面不存在</h3>")

    @staticmethod
    def _movie(data):
        if data is None:
            return 404, "text/plain", b"movie generator not available\r\n"
        return 200, SWF_TYPE, data


MAX_TEST_BYTES = 64 * 1024 * 1024


def test_bytes(n, kind):
    count = min(max(int(n), 0), MAX_TEST_BYTES) if n.isdigit() else 0
    unit = bytes(ord("a") + i for i in range(26)) if kind == "text" else bytes(range(251))
    return (unit * (count // len(unit) + 1))[:count]


def error_page(status):
    return page("错误", "<h3>错误 %d</h3>" % status)


def parse_control(handler, query):
    if handler.command == "POST":
        length = int(handler.headers.get("Content-Length") or 0)
        raw = handler.rfile.read(length) if length else b"{}"
        return json.loads(raw.decode("utf-8") or "{}")
    fault = {k: v[0] for k, v in parse_qs(query, keep_blank_values=True, encoding="latin-1").items()}
    if "body" in fault:  # byte for byte as percent-encoded
        fault["body_bytes"] = fault.pop("body").encode("latin-1")
    for key in ("delay", "trickle_bytes_per_second"):
        if key in fault:
            fault[key] = float(fault[key])
    for key in ("status", "cut_after_bytes", "times", "cache_max_age"):
        if key in fault:
            fault[key] = int(fault[key])
    if "empty_body" in fault:
        fault["empty_body"] = fault["empty_body"].lower() in ("1", "true", "yes")
    return fault


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "DemoContent/1.0"

    def log_message(self, fmt, *args):  # the JSON log replaces the console log
        pass

    def do_GET(self):
        self._handle()

    def do_HEAD(self):
        self._handle()

    def do_POST(self):
        self._handle()

    def _split(self):
        path, _, query = self.path.partition("?")
        if path.startswith("http://"):  # absolute form, as a proxy client sends it
            path = "/" + path.split("/", 3)[3] if path.count("/") >= 3 else "/"
        return path, query

    def _handle(self):
        path, query = self._split()
        if path.startswith("/__control/"):
            self._control(path, query)
            return
        state = self.server.state
        headers = {}
        for name, value in self.headers.items():
            headers[name] = headers[name] + ", " + value if name in headers else value
        state.record(
            {
                "time": time.time(),
                "client": self.client_address[0],
                "method": self.command,
                "path": path,
                "query": query,
                "headers": headers,
            }
        )
        if self.command == "POST":  # a site form posted: read what it sent, answer as a GET
            length = int(self.headers.get("Content-Length") or 0)
            if length:
                self.rfile.read(length)
        req = Request(self, path, query)
        try:
            status, ctype, body = self.server.site.answer(req)
        except Exception as e:  # a broken page or movie must not end the connection unanswered
            status, ctype, body = 500, "text/plain", ("%s: %s\r\n" % (type(e).__name__, e)).encode()
        replaced = state.body_for(path, query)
        if replaced:
            status, ctype, body = replaced_answer(replaced, status, ctype)
        self._send(status, ctype, body, req.set_cookies, state.take_fault(path, query))

    def _control(self, path, query):
        state = self.server.state
        try:
            fault = parse_control(self, query)
            if path == "/__control/fault":
                rule = Rule(fault)
                with state.lock:
                    state.faults[rule.path] = rule
            elif path == "/__control/body":
                rule = Rule(fault)
                with state.lock:
                    state.bodies[rule.path] = rule
            elif path == "/__control/reset":
                state.reset()
            elif path == "/__control/requests":
                with state.lock:
                    data = json.dumps(state.requests, ensure_ascii=False).encode("utf-8")
                self._send(200, "application/json; charset=utf-8", data, [], None)
                return
            else:
                self._send(404, "text/plain", b"unknown control\r\n", [], None)
                return
        except (ValueError, KeyError, TypeError) as e:
            self._send(400, "text/plain", ("bad control request: %s\r\n" % e).encode(), [], None)
            return
        self._send(200, "text/plain", b"ok\r\n", [], None)

    def _send(self, status, ctype, body, cookies, fault):
        fault = fault or {}
        if fault.get("delay"):
            time.sleep(float(fault["delay"]))
        cut = fault.get("cut_after_bytes")
        if cut is not None and int(cut) < 0:
            self._reset_connection()
            return
        if fault.get("status"):
            status = int(fault["status"])
            ctype, body = PAGE_TYPE, error_page(status)
        if fault.get("empty_body"):
            status, body = 200, b""
        try:
            self.send_response(status)
            self.send_header("Content-Type", ctype)
            self.send_header("Content-Length", str(len(body)))
            if fault.get("cache_max_age"):
                age = int(fault["cache_max_age"])
                now = time.time()
                self.send_header("Cache-Control", "public, max-age=%d" % age)
                self.send_header("Expires", self.date_time_string(now + age))
                self.send_header("Last-Modified", self.date_time_string(now - 86400))
            for c in cookies:
                self.send_header("Set-Cookie", c)
            self.end_headers()
            if self.command == "HEAD":
                return
            data = body if cut is None else body[: int(cut)]
            rate = fault.get("trickle_bytes_per_second")
            if rate:
                rate = float(rate)
                piece = max(1, int(rate // 20))
                for at in range(0, len(data), piece):
                    self.wfile.write(data[at : at + piece])
                    time.sleep(piece / rate)
            else:
                self.wfile.write(data)
        except (ConnectionError, OSError):
            self.close_connection = True
            return
        if cut is not None:
            time.sleep(0.2)  # a reset drops what the client has not read yet
            self._reset_connection()

    def _reset_connection(self):
        """Ends the connection with a reset instead of an orderly close."""
        self.close_connection = True
        try:
            self.wfile.flush()
            self.connection.setsockopt(
                socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0)
            )
            self.connection.close()
        except OSError:
            pass


def replaced_answer(fault, status, ctype):
    if "file" in fault:
        with open(fault["file"], "rb") as f:
            body = f.read()
        ctype = "application/octet-stream"
    elif "body_base64" in fault:
        body = base64.b64decode(fault["body_base64"])
    elif "body_bytes" in fault:
        body = fault["body_bytes"]
    else:
        body = str(fault.get("body", "")).encode("gbk")
    return int(fault.get("status", 200)), fault.get("content_type", ctype), body


class ContentServer(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, address, log_path=None, logo_tag="1", version_text="1.0.0.1",
                 installer=None):
        # Before binding: a refused address closes the server at once, log included, and the
        # caller sees the address error itself.
        self.state = State(log_path)
        self.site = Site(Movies(logo_tag), version_text, installer)
        super().__init__(address, Handler)

    def server_close(self):
        super().server_close()
        if self.state.log_file:
            self.state.log_file.close()

    @property
    def address(self):
        host, port = self.server_address[:2]
        return "%s:%d" % (host, port)


# --- command line ---------------------------------------------------------------------------------


def parse_listen(text):
    host, _, port = text.rpartition(":")
    if not host or not port.isdigit():
        raise argparse.ArgumentTypeError("expected HOST:PORT, got %r" % text)
    return host, int(port)


def write_atomically(path, text):
    tmp = path + ".tmp"
    with open(tmp, "w") as f:
        f.write(text)
    os.replace(tmp, path)


def is_our_server(pid):
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return b"content_server.py" in f.read()
    except OSError:
        return False


def stop(state_dir):
    pid_file = os.path.join(state_dir, "pid")
    try:
        with open(pid_file) as f:
            pid = int(f.read().strip())
    except (OSError, ValueError):
        return 0
    if is_our_server(pid):
        os.kill(pid, signal.SIGTERM)
        for _ in range(100):
            if not is_our_server(pid):
                break
            time.sleep(0.05)
        else:
            os.kill(pid, signal.SIGKILL)
    for name in ("pid", "address"):
        try:
            os.remove(os.path.join(state_dir, name))
        except OSError:
            pass
    return 0


def background(args):
    os.makedirs(args.state_dir, exist_ok=True)
    stop(args.state_dir)
    address_file = os.path.join(args.state_dir, "address")
    command = [
        sys.executable, os.path.abspath(__file__),
        "--listen", "%s:%d" % args.listen,
        "--address-file", address_file,
        "--max-lifetime", str(args.max_lifetime),
        "--logo-tag", args.logo_tag,
        "--version-text", args.version_text,
    ]
    if args.log:
        command += ["--log", os.path.abspath(args.log)]
    if args.installer:
        command += ["--installer", os.path.abspath(args.installer)]
    with open(os.path.join(args.state_dir, "server.err"), "wb") as err:
        # Its own session and no inherited pipes: the caller (ctest) must not wait for it.
        child = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                 stderr=err, start_new_session=True, close_fds=True)
    write_atomically(os.path.join(args.state_dir, "pid"), str(child.pid))
    for _ in range(200):
        if os.path.exists(address_file):
            with open(address_file) as f:
                print("demo content server at http://%s/ (pid %d)" % (f.read(), child.pid))
            return 0
        if child.poll() is not None:
            break
        time.sleep(0.05)
    sys.stderr.write("the demo content server did not start; see %s\n"
                     % os.path.join(args.state_dir, "server.err"))
    return 1


def main(argv=None):
    parser = argparse.ArgumentParser(description="Demo content server (see the module text).")
    parser.add_argument("--listen", type=parse_listen, default=parse_listen(DEFAULT_LISTEN))
    parser.add_argument("--log", help="append one JSON line per request to this file")
    parser.add_argument("--fresh-log", action="store_true", help="empty the log file first")
    parser.add_argument("--logo-tag", default="1", help="version tag of the logo movie")
    parser.add_argument("--version-text", default="1.0.0.1", help="the tray's version text")
    parser.add_argument("--installer", help="file served as the installer")
    parser.add_argument("--background", action="store_true", help="start as a background service")
    parser.add_argument("--stop", action="store_true", help="stop the background service")
    parser.add_argument("--state-dir", help="folder of the background service's address and pid")
    parser.add_argument("--address-file", help=argparse.SUPPRESS)
    parser.add_argument("--max-lifetime", type=float, default=3600.0,
                        help="background service: end after this many seconds")
    args = parser.parse_args(argv)

    if args.log:
        os.makedirs(os.path.dirname(os.path.abspath(args.log)), exist_ok=True)
        if args.fresh_log:
            open(args.log, "w").close()
    if args.background or args.stop:
        if not args.state_dir:
            parser.error("--background and --stop need --state-dir")
        return stop(args.state_dir) if args.stop else background(args)

    server = ContentServer(args.listen, args.log, args.logo_tag, args.version_text,
                           args.installer)
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    if args.address_file:
        write_atomically(args.address_file, server.address)
        timer = threading.Timer(args.max_lifetime, server.shutdown)
        timer.daemon = True
        timer.start()
    print("demo content server at http://%s/" % server.address, flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
