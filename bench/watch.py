#!/usr/bin/env python3
"""Measures `glowrig watch` against the bridge simulator and prints the rows
of bench/run.sh's table (figure, goal, measured, verdict).

    python3 bench/watch.py GLOWRIG SIM LARGE_FIXTURE WORK_DIR

Starts simulated copies of the large bridge on loopback addresses 127.0.3.x
(free ports), over TLS unless polled, and lets glowrig authorise itself with
each; its credentials stay in WORK_DIR/watch-config.

  latency:  a light changed through the REST routes, 200 times, one light
            after another; from just before the request to the watch's line
            for that change (the stream, then the read of that light);
  missed:   the simulator changing its lights itself as fast as it can for
            about 10 s; once it stops, the last brightness the watch printed
            for each light is compared with the light's own;
  memory:   the watch's peak resident memory after 1,000 changes and after
            100,000 (a simulator each);
  polling:  CPU time of a watch polling a plain bridge every 200 ms for 10 s,
            while the bridge's lights change 5 times a second;
  pacing:   `light --id=... --toggle` with 30 lights; the most of its light commands
            that reach the bridge within any second, seen in the
            simulator's log as it grows.
"""

import http.client
import json
import os
import queue
import ssl
import statistics
import subprocess
import sys
import threading
import time

GLOWRIG, SIM, LARGE, WORK = sys.argv[1:5]
CONFIG = os.path.join(WORK, "watch-config")
ENV = dict(os.environ, XDG_CONFIG_HOME=CONFIG)
UNCHECKED = ssl._create_unverified_context()


def row(figure, goal, measured, verdict):
    print(f"| {figure:<44} | {goal:<22} | {measured:<32} | {verdict:<7} |", flush=True)


def verdict(ok):
    return "met" if ok else "MISSED"


class Bridge:
    """One simulator serving a copy of the large bridge, authorised."""

    def __init__(self, number, tls=True, options=()):
        with open(LARGE) as f:
            fixture = json.load(f)
        fixture["state"]["config"]["bridgeid"] = "0200AAFFFE0A03%02X" % number
        self.fixture = os.path.join(WORK, f"watch{number}.json")
        with open(self.fixture, "w") as f:
            json.dump(fixture, f)
        self.log = os.path.join(WORK, f"watch{number}.log")
        scheme = "https://" if tls else ""
        self.process = subprocess.Popen(
            [SIM, "--log", self.log, *options, f"{scheme}127.0.3.{number}:0={self.fixture}"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        printed = self.process.stdout.readline().split()[0]
        self.host, port = printed.replace("https://", "").rsplit(":", 1)
        self.port = int(port)
        self.tls = tls
        self.name = printed
        subprocess.run([GLOWRIG, "config", "--auth", f"--bridge={self.name}"], env=ENV,
                       stdout=subprocess.DEVNULL, check=True)
        with open(self.log) as f:
            granted = [line for line in f if line.startswith("POST /api {")]
        self.user = json.loads(granted[0].split(" ", 2)[2].rsplit(" #", 1)[0])["username"]

    def connection(self):
        if self.tls:
            return http.client.HTTPSConnection(self.host, self.port, context=UNCHECKED)
        return http.client.HTTPConnection(self.host, self.port)

    def lights(self):
        c = self.connection()
        c.request("GET", f"/api/{self.user}/lights")
        return json.loads(c.getresponse().read())

    def requests_of(self, text):
        with open(self.log) as f:
            return sum(1 for line in f if line.startswith(text))

    def stop(self):
        self.process.terminate()
        self.process.wait()


class Watch:
    """glowrig watch --json on a bridge; its lines with the time each came."""

    def __init__(self, bridge, *options, out=subprocess.PIPE):
        self.process = subprocess.Popen(
            [GLOWRIG, "watch", "--json", f"--bridge={bridge.name}", *options], env=ENV,
            stdout=out, stderr=subprocess.DEVNULL)
        self.lines = queue.Queue()
        if out == subprocess.PIPE:
            threading.Thread(target=self._read, daemon=True).start()
        # Open once the stream is served and the whole state read.
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline and not (
                bridge.requests_of("GET /eventstream/clip/v2") and
                bridge.requests_of(f"GET /api/{bridge.user} ")):
            time.sleep(0.01)
        time.sleep(0.2)

    def _read(self):
        for raw in self.process.stdout:
            self.lines.put((time.perf_counter(), json.loads(raw)))

    def peak_kb(self):
        with open(f"/proc/{self.process.pid}/status") as f:
            return int(next(line for line in f if line.startswith("VmHWM")).split()[1])

    def stop(self):
        self.process.terminate()
        self.process.wait()


def wait_until_still(bridge, quiet=1.0):
    """Waits until the bridge's lights stayed the same for `quiet` seconds."""
    last, since = bridge.lights(), time.monotonic()
    while time.monotonic() - since < quiet:
        time.sleep(0.2)
        now = bridge.lights()
        if now != last:
            last, since = now, time.monotonic()
    return last


def latency():
    bridge = Bridge(1)
    watch = Watch(bridge)
    ids = sorted(bridge.lights(), key=int)
    brightness = {i: bridge.lights()[i]["state"]["bri"] for i in ids}
    c = bridge.connection()
    samples = []
    for n in range(200):
        light = ids[n % len(ids)]
        brightness[light] = brightness[light] % 254 + 1
        started = time.perf_counter()
        c.request("PUT", f"/api/{bridge.user}/lights/{light}/state",
                  json.dumps({"bri": brightness[light]}))
        c.getresponse().read()
        while True:
            seen, line = watch.lines.get(timeout=5)
            if line["id"] == light and line.get("changes", {}).get("bri") == brightness[light]:
                samples.append((seen - started) * 1000)
                break
        time.sleep(0.01)
    watch.stop()
    bridge.stop()
    median = statistics.median(samples)
    row("watch over the stream: change to line, median", "< 5 ms",
        f"{median:.2f} ms (max {max(samples):.1f}, n={len(samples)})", verdict(median < 5))


def last_brightness(watch):
    """The last brightness the watch printed for each light, by id."""
    last = {}
    while True:
        try:
            _, line = watch.lines.get(timeout=1)
        except queue.Empty:
            return last
        if line["resource"] == "light" and "bri" in line.get("changes", {}):
            last[line["id"]] = line["changes"]["bri"]


def missed():
    bridge = Bridge(2, options=("--change-rate", "1000000", "--change-for", "10"))
    watch = Watch(bridge)
    final = wait_until_still(bridge)
    last = last_brightness(watch)
    watch.stop()
    changed = bridge.requests_of("GET /api/")  # the watch's reads
    bridge.stop()
    with open(bridge.fixture) as f:
        start = json.load(f)["state"]["lights"]
    moved = [i for i in final if final[i]["state"]["bri"] != start[i]["state"]["bri"]]
    wrong = [i for i in moved if last.get(i) != final[i]["state"]["bri"]]
    row("watch, lights changed at full speed for 10 s", "nothing missed",
        f"{len(wrong)} of {len(moved)} lights differ; {changed} reads", verdict(not wrong))


def reads_per_thousand():
    """Requests of the watch beyond its stream while the simulator makes
    1,000 changes at full speed: each light's event carries its change."""
    bridge = Bridge(6, options=("--change-rate", "1000000", "--change-count", "1000"))
    watch = Watch(bridge, out=subprocess.DEVNULL)
    wait_until_still(bridge)
    watch.stop()
    api = f"GET /api/{bridge.user}"
    reads = bridge.requests_of(api + " ") - 1 + sum(
        bridge.requests_of(f"{api}/{kind}/") for kind in ("lights", "groups", "sensors"))
    bridge.stop()
    row("watch: reads per 1,000 changes at full speed", "none beyond the first",
        f"{reads} after the first whole-state read", verdict(reads == 0))


def memory():
    peaks = {}
    for number, count in ((3, 1000), (4, 100000)):
        bridge = Bridge(number, options=("--change-rate", "1000000", "--change-count", str(count)))
        watch = Watch(bridge, out=subprocess.DEVNULL)
        wait_until_still(bridge)
        peaks[count] = watch.peak_kb()
        watch.stop()
        bridge.stop()
    grown = peaks[100000] - peaks[1000]
    row("watch: peak memory after 1,000 changes", "", f"{peaks[1000] / 1024:.1f} MB", "")
    row("  after 100,000 changes", "<= +1 MB",
        f"{peaks[100000] / 1024:.1f} MB ({grown:+d} kB)", verdict(grown <= 1024))


def polling():
    bridge = Bridge(5, tls=False, options=("--change-rate", "5"))
    timed = subprocess.run(
        ["/usr/bin/time", "-f", "%U %S", GLOWRIG, "watch", f"--bridge={bridge.name}",
         "--interval=200", "--for=10"], env=ENV, stdout=subprocess.DEVNULL,
        stderr=subprocess.PIPE, text=True, check=True)
    bridge.stop()
    user, system = map(float, timed.stderr.split()[-2:])
    share = (user + system) / 10 * 100
    row("watch polling every 200 ms, large bridge: CPU", "< 2 % of a core",
        f"{share:.2f} % ({user + system:.2f} s in 10 s)", verdict(share < 2))


def pacing():
    bridge = Bridge(7)
    ids = ",".join(sorted(bridge.lights(), key=int)[:30])
    seen, done = [], threading.Event()

    def follow():
        with open(bridge.log) as f:
            while not done.is_set():
                for line in f.readlines():
                    seen.append((time.monotonic(), line))
                time.sleep(0.002)

    follower = threading.Thread(target=follow)
    follower.start()
    subprocess.run([GLOWRIG, "light", f"--id={ids}", "--toggle", f"--bridge={bridge.name}"],
                   env=ENV, stdout=subprocess.DEVNULL, check=True)
    time.sleep(0.1)
    done.set()
    follower.join()
    bridge.stop()
    puts = [t for t, line in seen if line.startswith(f"PUT /api/{bridge.user}/lights/")]
    # 10 ms less than a second: the log is read every 2 ms or so.
    most = max(sum(1 for u in puts if t <= u < t + 0.99) for t in puts)
    row("light commands to one bridge within a second", "<= 10", f"{most} (n={len(puts)})",
        verdict(most <= 10 and len(puts) == 30))


def main():
    os.makedirs(CONFIG, exist_ok=True)
    latency()
    missed()
    reads_per_thousand()
    memory()
    polling()
    pacing()


if __name__ == "__main__":
    main()
