"""A desktop of the tests' own: an X server, a session bus, the demo service and the
real client, each started as a user's machine would start it, and every process
ended when the test ends, whether it passes, fails, times out or is killed.

Nothing here waits a fixed time: every wait polls a condition until a deadline.
"""

import argparse
import ctypes
import os
import re
import select
import signal
import subprocess
import sys
import tempfile
import time
import uuid

# Every process started from here carries this variable, whoever its parent is
# (the bus starts the accessibility services), so the sweep at the end finds them all.
MARKER = "ORVANE_DESKTOP_TEST_RUN"
PROXY_VARIABLES = ("http_proxy", "https_proxy", "all_proxy", "no_proxy",
                   "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "NO_PROXY")

_libc = ctypes.CDLL(None, use_errno=True)
_PR_SET_PDEATHSIG = 1
_PR_SET_CHILD_SUBREAPER = 36


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def _start_child():
    # A driver killed outright takes its children with it.
    parent = os.getppid()
    _libc.prctl(_PR_SET_PDEATHSIG, int(signal.SIGKILL))
    if os.getppid() != parent:
        os._exit(1)


class _Lines:
    """Lines read from a pipe, each within a deadline."""

    def __init__(self, fd, what):
        self.fd = fd
        self.what = what
        self.buffer = b""

    def next(self, deadline):
        while b"\n" not in self.buffer:
            left = deadline - time.monotonic()
            check(left > 0, f"{self.what}: nothing within the time limit")
            ready, _, _ = select.select([self.fd], [], [], left)
            if ready:
                chunk = os.read(self.fd, 4096)
                check(chunk, f"{self.what}: closed before it answered")
                self.buffer += chunk
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.decode()


class Session:
    """Use as a context manager: leaving it ends every process it started."""

    def __init__(self, time_limit):
        self.deadline = time.monotonic() + time_limit
        self.folder = tempfile.mkdtemp(prefix="orvane-desktop-test-")
        self.processes = []
        self.token = uuid.uuid4().hex
        self.display = None
        self.atspi = None

    def __enter__(self):
        # What the bus starts and leaves behind becomes ours to reap, not init's.
        _libc.prctl(_PR_SET_CHILD_SUBREAPER, 1)
        os.environ[MARKER] = self.token
        for name in PROXY_VARIABLES:
            os.environ.pop(name, None)
        os.environ["LC_ALL"] = "C.UTF-8"
        for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            signal.signal(sig, self._on_signal)
        signal.signal(signal.SIGALRM, self._on_signal)
        signal.alarm(max(1, int(self.deadline - time.monotonic())))
        return self

    def __exit__(self, *exc):
        signal.alarm(0)
        self.end_all()
        return False

    def _on_signal(self, number, frame):
        raise Failure(f"stopped by signal {signal.Signals(number).name}"
                      + (" (the test's time limit)" if number == signal.SIGALRM else ""))

    def spawn(self, argv, **options):
        process = subprocess.Popen(argv, start_new_session=True, preexec_fn=_start_child,
                                   **options)
        self.processes.append(process)
        return process

    def end(self, process, sig=signal.SIGTERM, grace=10):
        """Ends one process and its group; returns its exit status."""
        if process.poll() is None:
            try:
                os.killpg(process.pid, sig)
            except ProcessLookupError:
                pass
            try:
                process.wait(grace)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        return process.returncode

    def end_all(self):
        for process in reversed(self.processes):
            self.end(process, grace=5)
        # Whatever the bus started on its own, and anything that left its group.
        for _ in range(50):
            found = marked_processes(self.token)
            if not found:
                break
            for pid in found:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            time.sleep(0.1)
            self._reap()
        self._reap()

    @staticmethod
    def _reap():
        try:
            while os.waitpid(-1, os.WNOHANG)[0] > 0:
                pass
        except ChildProcessError:
            pass

    def left(self):
        return self.deadline - time.monotonic()

    def wait_until(self, condition, what, timeout=60, watch=()):
        """Polls condition() until it returns a true value, which is returned."""
        until = min(time.monotonic() + timeout, self.deadline)
        while True:
            if self.atspi:
                self.atspi.pump()
            value = condition()
            if value:
                return value
            for process in watch:
                check(process.poll() is None,
                      f"waiting for {what}: {process.args[0]} ended with {process.returncode}")
            check(time.monotonic() < until, f"timed out waiting for {what}")
            time.sleep(0.05)

    def start_x_server(self):
        read, write = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                    "-nolisten", "tcp", "-noreset"], pass_fds=(write,),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = _Lines(read, "Xvfb").next(min(self.deadline, time.monotonic() + 60))
        os.close(read)
        self.display = ":" + number
        os.environ["DISPLAY"] = self.display
        os.environ.pop("WAYLAND_DISPLAY", None)

    def start_session_bus(self):
        read, write = os.pipe()
        self.spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                    f"--print-address={write}"], pass_fds=(write,),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        address = _Lines(read, "dbus-daemon").next(min(self.deadline, time.monotonic() + 60))
        os.close(read)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
        os.environ.pop("AT_SPI_BUS_ADDRESS", None)

    def start_service(self, path, host):
        """Starts the demo service on a port the kernel picks; returns (process, port)."""
        self.request_log = os.path.join(self.folder, "requests.log")
        loopback = "[::1]" if host.startswith("[") else "127.0.0.1"
        process = self.spawn([path, "--listen", loopback + ":0", "--request-log",
                              self.request_log], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL)
        deadline = min(self.deadline, time.monotonic() + 60)
        lines = _Lines(process.stdout.fileno(), "the demo service")
        while True:
            found = re.match(r"listening on .*:(\d+)$", lines.next(deadline))
            if found:
                return process, int(found.group(1))

    def start_client(self, path, folder, redirect, service_host, port, log_name="client.log"):
        env = dict(os.environ)
        env.update({
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_SCALE_FACTOR": "1",
            "LD_PRELOAD": redirect,
            "ORVANE_REDIRECT_FROM": service_host,
            "ORVANE_REDIRECT_TO": str(port),
            # The preloaded library comes before the sanitizer's run-time in a
            # sanitized build; it does not use it.
            "ASAN_OPTIONS": env.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0",
        })
        self.client_log = os.path.join(self.folder, log_name)
        with open(self.client_log, "wb") as log:
            return self.spawn([path], cwd=folder, env=env, stdout=log, stderr=log)

    def requests(self):
        """The request heads the demo service received, in order."""
        try:
            with open(self.request_log, "rb") as log:
                data = log.read()
        except FileNotFoundError:
            return []
        return [head + b"\r\n\r\n" for head in data.split(b"\r\n\r\n")[:-1]]


def marked_processes(token):
    found = []
    needle = f"{MARKER}={token}".encode()
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) == os.getpid():
            continue
        try:
            with open(f"/proc/{entry}/environ", "rb") as environ:
                if needle in environ.read().split(b"\0"):
                    found.append(int(entry))
        except OSError:
            pass
    return found


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, timeout=30,
                   stdout=subprocess.DEVNULL)


def visible_windows(process):
    """The process's windows that the X server shows: input reaches only these."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(process.pid)],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=30)
    return found.stdout.split()


def click(rect):
    x, y = rect.x + rect.width // 2, rect.y + rect.height // 2
    xdotool("mousemove", "--sync", x, y, "click", "1")


def arguments():
    """The command line CTest gives every desktop test."""
    parser = argparse.ArgumentParser()
    for name in ("client", "service", "redirect"):
        parser.add_argument("--" + name, required=True, type=os.path.abspath)
    parser.add_argument("--service-host", required=True)
    parser.add_argument("--time-limit", type=int, default=240)
    return parser.parse_args()


def run(main):
    """Runs a test body; the exit status says whether it passed."""
    try:
        main()
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        sys.exit(1)
    print("PASS")
