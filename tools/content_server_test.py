"""Tests of the demo content server: run with `python3 -m unittest` inside tools/."""

import base64
import hashlib
import http.client
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import zlib
from unittest import mock
from urllib.parse import quote

import content_server as cs

HERE = os.path.dirname(os.path.abspath(__file__))


def split_delimited(text, delim):
    """The bridge's rule for splitting a Value (quotes, and spaces as separators)."""
    items, i, n = [], 0, len(text)
    while i < n and " " >= text[i] > "\0":
        i += 1
    while i < n:
        if text[i] == '"':
            j, item = i + 1, ""
            while j < n:
                if text[j] == '"':
                    if j + 1 < n and text[j + 1] == '"':
                        item += '"'
                        j += 2
                        continue
                    j += 1
                    break
                item += text[j]
                j += 1
            i = j
        else:
            j = i
            while j < n and text[j] != delim and not (" " >= text[j] > "\0"):
                j += 1
            item, i = text[i:j], j
        items.append(item)
        while i < n and " " >= text[i] > "\0":
            i += 1
        if i < n and text[i] == delim:
            if i == n - 1:
                items.append("")
            i += 1
            while i < n and " " >= text[i] > "\0":
                i += 1
    return items


class FakeTool:
    """Stands in for the movie generator; marks each form so a test sees which one it got."""

    def __init__(self):
        self.built = []

    def episode_movie(self, series_name, series_id, number, frames=48, fps=12, padding=0):
        self.built.append((series_id, number))
        return b"FWS|" + ("%s|%s|%d" % (series_name, series_id, number)).encode("utf-8")

    def logo_movie(self, tag=""):
        return b"FWS|logo|" + tag.encode()

    def loading_movie(self):
        return b"FWS|load"

    def compress(self, fws):
        return b"CWS" + fws[3:]

    def scramble(self, data):
        return b"KPV\x88" + data


class ServerCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.log_path = os.path.join(cls.tmp.name, "requests.log")
        cls.server = cs.ContentServer(("127.0.0.1", 0), cls.log_path)
        cls.thread = threading.Thread(target=cls.server.serve_forever, daemon=True)
        cls.thread.start()
        cls.host = cls.server.address

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()
        cls.server.server_close()
        cls.tmp.cleanup()

    def setUp(self):
        self.control("/__control/reset")

    def request(self, path, method="GET", headers=None, body=None):
        conn = http.client.HTTPConnection(self.host, timeout=10)
        try:
            conn.request(method, path, body=body, headers=headers or {})
            resp = conn.getresponse()
            return resp.status, resp.getheader("Content-Type"), resp.read(), resp
        finally:
            conn.close()

    def get(self, path, **kw):
        status, ctype, body, _ = self.request(path, **kw)
        return status, ctype, body

    def control(self, path, settings=None):
        data = json.dumps(settings or {}).encode()
        status, _, body = self.get(path, method="POST", body=data,
                                   headers={"Content-Type": "application/json"})
        self.assertEqual(status, 200, body)
        return body

    def fault(self, **settings):
        self.control("/__control/fault", settings)

    def raw(self, path):
        """Headers and body bytes as they arrive, and how the connection ended."""
        s = socket.create_connection(self.server.server_address[:2], timeout=10)
        s.sendall(("GET %s HTTP/1.1\r\nHost: %s\r\n\r\n" % (path, self.host)).encode())
        data, ending = b"", "closed"
        try:
            while True:
                piece = s.recv(65536)
                if not piece:
                    break
                data += piece
                if b"\r\n\r\n" in data:
                    head, _, body = data.partition(b"\r\n\r\n")
                    m = re.search(rb"Content-Length: (\d+)", head)
                    if m and len(body) >= int(m.group(1)):
                        ending = "complete"
                        break
        except ConnectionResetError:
            ending = "reset"
        finally:
            s.close()
        head, _, body = data.partition(b"\r\n\r\n")
        return head, body, ending

    def log_entries(self):
        with open(self.log_path, encoding="utf-8") as f:
            return [json.loads(line) for line in f]


class SitePagesTest(ServerCase):
    def test_pages_are_gbk_html_with_their_content(self):
        cases = [
            ("/a/zodivodedozi/", "学习乐园"),
            ("/member/index1.php", "会员登录"),
            ("/bbs/forum.php", "学习论坛"),
            ("/bbs/home.php?mod=spacecp", "我的空间"),
            ("/bbs/home.php?mod=space&do=blog", "我的日记"),
            ("/bbs/home.php?mod=space&do=album", "我的相册"),
            ("/plus/search_v.php?channeltype=7&q=", "搜索"),
            ("/toluad/getplayaad.html", "开始播放"),
            ("/toluad/getpause.html", "暂停一下"),
            ("/toluad/getstop.html", "下次再见"),
            ("/toluad/getNotice.html", "公告"),
        ]
        for path, marker in cases:
            with self.subTest(path=path):
                status, ctype, body = self.get(path)
                self.assertEqual(status, 200)
                self.assertEqual(ctype, "text/html; charset=gbk")
                self.assertIn(marker, body.decode("gbk"))  # strict: every byte is GBK

    def test_start_page_series_start_playable_play_lists(self):
        tool = FakeTool()
        self.server.site.movies._tool = tool
        self.addCleanup(setattr, self.server.site.movies, "_tool", None)
        self.server.site.movies._cache.clear()
        _, _, body = self.get("/a/zodivodedozi/")
        text = body.decode("gbk")
        self.assertIn("ext.AddUrl(value, true)", text)
        values = json.loads(re.search(r"var series = (\[.*?\]);", text).group(1))
        self.assertEqual(len(values), len(cs.CATALOGUE))
        for value in values:
            with self.subTest(value=value):
                items = split_delimited(value, "_")
                self.assertEqual(len(items), 4)
                self.assertEqual(items[0], "tolu")
                status, _, plist = self.get("/plus/play.php?aid=" + items[2])
                self.assertEqual(status, 200)
                lines = plist.decode("gbk").split("\r\n")
                self.assertEqual(lines[-1], "")  # every line ends with CR LF
                for line in lines[:-1]:
                    self.assertTrue(line.startswith("/"), line)
                    status, ctype, movie = self.get(line)
                    self.assertEqual((status, ctype), (200, "application/x-shockwave-flash"))
                    self.assertIn(items[2].encode(), movie)

    def test_a_quoted_series_name_keeps_its_space(self):
        _, _, body = self.get("/a/zodivodedozi/")
        values = json.loads(re.search(r"var series = (\[.*?\]);", body.decode("gbk")).group(1))
        named = [split_delimited(v, "_")[1] for v in values]
        self.assertIn("Big Bear", named)

    def test_member_log_in_reports_the_member_through_web_logo(self):
        user = "小明"
        for pic, magic in [("jpg", b"\xff\xd8"), ("png", b"\x89PNG"), ("gif", b"GIF89a")]:
            with self.subTest(pic=pic):
                path = "/member/index1.php?user=%s&pass=123456&pic=%s" % (
                    quote(user.encode("gbk")), pic)
                status, _, body, resp = self.request(path)
                self.assertEqual(status, 200)
                text = body.decode("gbk")
                m = re.search(r'ext\.Web_Logo\((".*?"), (".*?"), (".*?")\)', text)
                self.assertIsNotNone(m, text)
                who, digest, value = (json.loads(g) for g in m.groups())
                self.assertEqual(who, user)
                self.assertEqual(digest, hashlib.md5(b"123456").hexdigest())
                items = split_delimited(value, ";")
                self.assertEqual(items[0], user)
                self.assertEqual(items[3], "http://%s/images/avatar.%s" % (self.host, pic))
                _, _, picture = self.get(items[3][len("http://" + self.host):])
                self.assertTrue(picture.startswith(magic))
                cookies = resp.headers.get_all("Set-Cookie")
        # A later visit of the start page reports the member again.
        cookie = "; ".join(c.split(";")[0] for c in cookies)
        _, _, body = self.get("/a/zodivodedozi/", headers={"Cookie": cookie})
        self.assertIn('ext.Web_Logo("小明", "%s"' % hashlib.md5(b"123456").hexdigest(),
                      body.decode("gbk"))

    def test_log_in_form_alone_reports_nobody(self):
        for path in ["/member/index1.php", "/member/index1.php?user=a&pass=", "/a/zodivodedozi/"]:
            with self.subTest(path=path):
                _, _, body = self.get(path)
                self.assertNotIn("Web_Logo", body.decode("gbk"))

    def test_bad_picture_is_no_picture(self):
        status, _, body = self.get("/images/avatar.bad")
        self.assertEqual(status, 200)
        for magic in (b"\xff\xd8", b"\x89PNG", b"GIF8"):
            self.assertFalse(body.startswith(magic))

    def test_search_filters_by_a_gbk_query(self):
        cases = [("故事", ["101", "104"]), ("", [s.id for s in cs.CATALOGUE]), ("恐龙", [])]
        for q, ids in cases:
            with self.subTest(q=q):
                _, _, body = self.get("/plus/search_v.php?channeltype=7&q=" + quote(q.encode("gbk")))
                text = body.decode("gbk")
                found = re.findall(r"tolu_.*?_(\d+)_", text)
                self.assertEqual(found, ids)
                self.assertEqual("没有找到相关内容" in text, not ids)

    def test_unknown_series_has_an_empty_play_list(self):
        status, ctype, body = self.get("/plus/play.php?aid=999")
        self.assertEqual((status, ctype, body), (200, "text/html; charset=gbk", b""))

    def test_version_texts_and_installer(self):
        self.assertEqual(self.get("/toluad/getver.html")[2], b"1.0.0.1")
        self.assertEqual(self.get("/images/getlogo.html")[2], b"1")
        status, ctype, body = self.get("/toluad/update.ex_")
        self.assertEqual((status, ctype, body),
                         (200, "application/octet-stream", cs.STAND_IN_INSTALLER))

    def test_notice_page_has_an_app_link(self):
        self.assertRegex(self.get("/toluad/getNotice.html")[2].decode("gbk"), r"href='app:")

    def test_unknown_address_is_404(self):
        for path in ["/nothing", "/media/101/4.swf", "/media/101/0.swf", "/media/999/1.swf",
                     "/images/logo2.swf"]:
            with self.subTest(path=path):
                self.assertEqual(self.get(path)[0], 404)


class MovieTest(ServerCase):
    def setUp(self):
        super().setUp()
        self.movies = self.server.site.movies
        self.movies._cache.clear()
        self.addCleanup(self.movies._cache.clear)
        self.addCleanup(setattr, self.movies, "_tool", None)

    def test_episode_forms_follow_the_catalogue(self):
        tool = self.movies._tool = FakeTool()

        def fws(n):
            return ("FWS|三只小猪|104|%d" % n).encode("utf-8")

        expected = {1: fws(1), 2: b"CWS" + fws(2)[3:], 3: b"KPV\x88" + fws(3),
                    4: b"KPV\x88CWS" + fws(4)[3:]}
        for n, want in expected.items():
            with self.subTest(n=n):
                self.assertEqual(self.get("/media/104/%d.swf" % n)[2], want)
        self.get("/media/104/1.swf")
        self.assertEqual(tool.built, [("104", 1), ("104", 2), ("104", 3), ("104", 4)])

    def test_logo_carries_the_tag(self):
        self.movies._tool = FakeTool()
        self.assertEqual(self.get("/images/logo1.swf")[2], b"FWS|logo|1")

    def test_without_the_generator_movies_are_404_and_the_rest_works(self):
        with mock.patch.dict(sys.modules, {"make_swf": None}):
            self.assertEqual(self.get("/media/101/1.swf")[0], 404)
            self.assertEqual(self.get("/images/logo1.swf")[0], 404)
            self.assertEqual(self.get("/a/zodivodedozi/")[0], 200)

    @unittest.skipUnless(os.path.exists(os.path.join(HERE, "swf", "make_swf.py")),
                         "the movie generator is not there yet")
    def test_real_movies_have_their_container_headers(self):
        cases = [("/media/101/1.swf", b"FWS"), ("/media/102/1.swf", b"CWS"),
                 ("/media/103/1.swf", b"KPV\x88"), ("/images/logo1.swf", b"FWS")]
        for path, magic in cases:
            with self.subTest(path=path):
                status, _, body = self.get(path)
                self.assertEqual(status, 200)
                self.assertEqual(body[: len(magic)], magic)
                if magic == b"FWS":  # the header's length field covers the whole file
                    self.assertEqual(int.from_bytes(body[4:8], "little"), len(body))


def swf_frames(data):
    """The tags of each frame of an uncompressed or compressed movie, as (code, body) lists."""
    if data[:3] == b"CWS":
        data = b"FWS" + data[3:8] + zlib.decompress(data[8:])
    nbits = data[8] >> 3
    at = 8 + (5 + 4 * nbits + 7) // 8 + 4
    frames, current = [], []
    while at < len(data):
        code, length = data[at + 1] << 2 | data[at] >> 6, data[at] & 0x3F
        at += 2
        if length == 0x3F:
            length = int.from_bytes(data[at:at + 4], "little")
            at += 4
        if code == 1:
            frames.append(current)
            current = []
        elif code:
            current.append((code, data[at:at + length]))
        at += length
    return frames


@unittest.skipUnless(os.path.exists(os.path.join(HERE, "swf", "make_swf.py")) and
                     shutil.which("espeak-ng") and shutil.which("lame"),
                     "the movie generator, espeak-ng or lame is missing")
class SpokenEpisodeTest(ServerCase):
    def test_served_episodes_carry_their_voice_as_a_stream(self):
        self.server.site.movies._cache.clear()
        self.addCleanup(self.server.site.movies._cache.clear)
        for path in ("/media/101/1.swf", "/media/102/2.swf"):
            with self.subTest(path=path):
                status, _, body = self.get(path)
                self.assertEqual(status, 200)
                frames = swf_frames(body)
                heads = [i for i, f in enumerate(frames) for c, _ in f if c == 45]
                self.assertEqual(heads, [0])
                head = [b for c, b in frames[0] if c == 45][0]
                self.assertEqual(head[1], 0x2A, "MP3, 22050 Hz, 16-bit, mono")
                blocks = [[b for c, b in f if c == 19] for f in frames]
                spoken = [i for i, b in enumerate(blocks) if b]
                self.assertGreater(len(spoken), 12, "a second at least")
                self.assertEqual(spoken, list(range(len(spoken))), "a block a frame from frame 1")
                for b in blocks[:len(spoken)]:
                    self.assertEqual(len(b), 1)
                    self.assertEqual(int.from_bytes(b[0][:2], "little") % 576, 0)
                    self.assertEqual(b[0][4:6], b"\xff\xf3", "whole MPEG-2 layer III frames")
                self.assertGreater(len(frames), len(spoken), "the voice ends before the episode")


class TestBytesTest(ServerCase):
    def test_sizes_and_patterns(self):
        body = self.get("/__test/bytes?n=1000000")[2]
        self.assertEqual(len(body), 1000000)
        self.assertTrue(all(body[i] == i % 251 for i in (0, 250, 251, 1023, 1024, 999999)))
        self.assertEqual(self.get("/__test/bytes?n=30&kind=text&token=x")[2],
                         b"abcdefghijklmnopqrstuvwxyzabcd")
        self.assertEqual(self.get("/__test/bytes")[2], b"")


class LogTest(ServerCase):
    def test_one_json_line_per_request_without_control_requests(self):
        before = len(self.log_entries())
        self.get("/a/zodivodedozi/?x=1&y=%B0", headers={"X-Probe": "one", "User-Agent": "MyApp"})
        self.request("/toluad/getver.html", method="HEAD")
        self.request("/member/index1.php", method="POST", body=b"user=a")
        self.control("/__control/requests")
        entries = self.log_entries()[before:]
        self.assertEqual([(e["method"], e["path"]) for e in entries],
                         [("GET", "/a/zodivodedozi/"), ("HEAD", "/toluad/getver.html"),
                          ("POST", "/member/index1.php")])
        first = entries[0]
        self.assertEqual(first["query"], "x=1&y=%B0")
        self.assertEqual(first["headers"]["X-Probe"], "one")
        self.assertEqual(first["headers"]["User-Agent"], "MyApp")
        self.assertEqual(first["headers"]["Host"], self.host)

    def test_requests_since_reset(self):
        self.get("/bbs/forum.php")
        self.control("/__control/reset")
        self.get("/toluad/getver.html?token=abc")
        listed = json.loads(self.get("/__control/requests")[2])
        self.assertEqual([(r["path"], r["query"]) for r in listed],
                         [("/toluad/getver.html", "token=abc")])

    def test_a_request_is_logged_before_its_delay_ends(self):
        self.fault(path="/bbs/forum.php", delay=1.0)
        t = threading.Thread(target=self.get, args=("/bbs/forum.php",))
        t.start()
        self.addCleanup(t.join)
        for _ in range(100):
            if any(r["path"] == "/bbs/forum.php" for r in json.loads(self.get("/__control/requests")[2])):
                break
            time.sleep(0.01)
        else:
            self.fail("the delayed request was not recorded")
        self.assertTrue(t.is_alive())


class FaultTest(ServerCase):
    def test_delay_holds_one_path_and_not_the_others(self):
        self.fault(path="/toluad/getver.html", delay=0.6)
        done = threading.Event()
        started = time.monotonic()
        elapsed = []

        def slow():
            self.get("/toluad/getver.html")
            elapsed.append(time.monotonic() - started)
            done.set()

        t = threading.Thread(target=slow)
        t.start()
        self.assertEqual(self.get("/images/getlogo.html")[2], b"1")
        self.assertFalse(done.is_set(), "the fast answer waited for the delayed one")
        t.join()
        self.assertGreaterEqual(elapsed[0], 0.6)

    def test_trickle_sends_the_whole_body_slowly(self):
        self.fault(path="/__test/bytes", trickle_bytes_per_second=4000)
        started = time.monotonic()
        head, body, ending = self.raw("/__test/bytes?n=2000")
        self.assertEqual(ending, "complete")
        self.assertEqual(body, cs.test_bytes("2000", ""))
        self.assertGreaterEqual(time.monotonic() - started, 0.4)

    def test_status_answers_an_error_page(self):
        self.fault(path="/plus/play.php", status=503)
        status, ctype, body = self.get("/plus/play.php?aid=101")
        self.assertEqual((status, ctype), (503, "text/html; charset=gbk"))
        self.assertIn("错误 503", body.decode("gbk"))

    def test_cut_sends_part_of_the_body_then_resets(self):
        self.fault(path="/__test/bytes", cut_after_bytes=100)
        head, body, ending = self.raw("/__test/bytes?n=5000")
        self.assertIn(b"Content-Length: 5000", head)
        self.assertEqual(body, cs.test_bytes("100", ""))
        self.assertIn(ending, ("reset", "closed"))
        with self.assertRaises((http.client.IncompleteRead, ConnectionResetError)):
            self.get("/__test/bytes?n=5000")

    def test_cut_before_the_answer(self):
        self.fault(path="/toluad/getver.html", cut_after_bytes=-1)
        head, body, ending = self.raw("/toluad/getver.html")
        self.assertEqual((head, body), (b"", b""))
        self.assertIn(ending, ("reset", "closed"))

    def test_empty_body(self):
        self.fault(path="/images/getlogo.html", empty_body=True)
        status, _, body, resp = self.request("/images/getlogo.html")
        self.assertEqual((status, body, resp.getheader("Content-Length")), (200, b"", "0"))

    def test_matching_by_path_query_and_prefix(self):
        self.fault(path="/plus/play.php?aid=102", status=500)
        self.fault(path="/bbs/*", status=502)
        cases = [("/plus/play.php?aid=102", 500), ("/plus/play.php?aid=101", 200),
                 ("/bbs/forum.php", 502), ("/bbs/home.php?mod=spacecp", 502),
                 ("/a/zodivodedozi/", 200)]
        for path, status in cases:
            with self.subTest(path=path):
                self.assertEqual(self.get(path)[0], status)

    def test_times_limits_a_fault_and_reset_drops_it(self):
        self.fault(path="/toluad/getver.html", status=404, times=1)
        self.assertEqual(self.get("/toluad/getver.html")[0], 404)
        self.assertEqual(self.get("/toluad/getver.html")[0], 200)
        self.fault(path="/toluad/getver.html", status=404)
        self.control("/__control/reset")
        self.assertEqual(self.get("/toluad/getver.html")[0], 200)

    def test_control_by_get_query(self):
        self.get("/__control/fault?path=/images/getlogo.html&status=410&times=1")
        self.assertEqual(self.get("/images/getlogo.html")[0], 410)
        self.assertEqual(self.get("/__control/fault?status=1")[0], 400)  # no path
        self.assertEqual(self.get("/__control/nothing")[0], 404)


class BodyTest(ServerCase):
    def test_replaced_bodies(self):
        with tempfile.NamedTemporaryFile(delete=False) as f:
            f.write(b"MZ installer")
        self.addCleanup(os.remove, f.name)
        self.control("/__control/body", {"path": "/images/getlogo.html", "body": "标签8\r\n"})
        self.control("/__control/body", {"path": "/toluad/getver.html",
                                         "body_base64": base64.b64encode(b"2.0\x00x").decode(),
                                         "status": 404})
        self.control("/__control/body", {"path": "/toluad/update.ex_", "file": f.name})
        self.assertEqual(self.get("/images/getlogo.html")[:3:2], (200, "标签8\r\n".encode("gbk")))
        self.assertEqual(self.get("/toluad/getver.html")[:3:2], (404, b"2.0\x00x"))
        self.assertEqual(self.get("/toluad/update.ex_")[2], b"MZ installer")
        self.get("/__control/body?path=/toluad/getNotice.html&body=a%00%D1%A7%0D%0A")
        self.assertEqual(self.get("/toluad/getNotice.html")[2], b"a\x00\xd1\xa7\r\n")
        self.control("/__control/reset")
        self.assertEqual(self.get("/images/getlogo.html")[2], b"1")


class CommandLineTest(unittest.TestCase):
    def test_background_service_starts_logs_and_stops(self):
        with tempfile.TemporaryDirectory() as tmp:
            state = os.path.join(tmp, "state")
            log = os.path.join(tmp, "requests.log")
            script = os.path.join(HERE, "content_server.py")
            subprocess.run([sys.executable, script, "--background", "--state-dir", state,
                            "--listen", "127.0.0.1:0", "--log", log, "--version-text", "9.9"],
                           check=True, timeout=30, stdout=subprocess.DEVNULL)
            try:
                with open(os.path.join(state, "address")) as f:
                    host = f.read()
                conn = http.client.HTTPConnection(host, timeout=10)
                conn.request("GET", "/toluad/getver.html")
                self.assertEqual(conn.getresponse().read(), b"9.9")
                conn.close()
                with open(log) as f:
                    self.assertEqual(json.loads(f.readline())["path"], "/toluad/getver.html")
            finally:
                subprocess.run([sys.executable, script, "--stop", "--state-dir", state],
                               check=True, timeout=30)
            self.assertFalse(os.path.exists(os.path.join(state, "pid")))
            with self.assertRaises(OSError):
                socket.create_connection(cs.parse_listen(host), timeout=5).close()


if __name__ == "__main__":
    unittest.main()
