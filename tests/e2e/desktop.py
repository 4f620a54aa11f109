"""A private desktop for one end-to-end run: an X server (Xvfb) with the
openbox window manager, and a PulseAudio daemon whose only output is a null
sink, so that what the player plays can be recorded from the sink's monitor.

Nothing of a developer's own session is used or disturbed: the X display
number is one that Xvfb finds free, the sound server has its own runtime
folder and socket, and HOME points into the run's work folder. Every process
started here is ended when the run ends, also when the run is killed: each
child gets SIGTERM from the kernel when this process dies.
"""

import contextlib
import ctypes
import os
import shutil
import signal
import subprocess
import tempfile
import time

_PR_SET_PDEATHSIG = 1
_libc = ctypes.CDLL(None, use_errno=True)


def _die_with_parent():
    # Runs in the child between fork and exec.
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGTERM)
    os.setsid()


class SetupError(RuntimeError):
    pass


def wait_until(predicate, timeout, interval=0.05, what="condition"):
    """Polls predicate() until it returns a true value; returns that value.
    Raises TimeoutError naming `what` after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout:.1f} s waiting for {what}")
        time.sleep(interval)


class Processes:
    """Children that are ended, newest first, when the run ends."""

    def __init__(self):
        self._children = []

    def start(self, args, *, env, log_path=None, cwd=None, stdin=subprocess.DEVNULL,
              stdout=None):
        log = open(log_path, "ab") if log_path else subprocess.DEVNULL
        try:
            child = subprocess.Popen(args, env=env, cwd=cwd, stdin=stdin,
                                     stdout=stdout if stdout is not None else log,
                                     stderr=log, preexec_fn=_die_with_parent)
        finally:
            if log_path:
                log.close()
        self._children.append(child)
        return child

    def stop(self, child, timeout=5.0):
        if child.poll() is None:
            with contextlib.suppress(ProcessLookupError):
                os.killpg(child.pid, signal.SIGTERM)
            try:
                child.wait(timeout)
            except subprocess.TimeoutExpired:
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(child.pid, signal.SIGKILL)
                child.wait(timeout)
        if child in self._children:
            self._children.remove(child)

    def stop_all(self):
        for child in reversed(list(self._children)):
            self.stop(child)


class Desktop:
    """Xvfb + openbox + PulseAudio with a null sink named `sink`, and a
    session bus of its own, as a desktop session has."""

    width, height = 1280, 1024
    sink = "e2e"

    def __init__(self, work):
        self.work = work
        self.procs = Processes()
        self.display = None
        self.pulse_dir = None
        self.bus_dir = None
        self.home = os.path.join(work, "home")
        self.logs = os.path.join(work, "logs")
        os.makedirs(self.home, exist_ok=True)
        os.makedirs(self.logs, exist_ok=True)

    # Environment of every client: the player, the tools that drive it, the
    # recorder. Only variables of the X and sound libraries are set.
    def env(self):
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "XDG_RUNTIME_DIR": self.pulse_dir,
            "DISPLAY": self.display,
            "PULSE_SERVER": f"unix:{self.pulse_dir}/native",
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
        }
        for keep in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if keep in os.environ:
                env[keep] = os.environ[keep]
        if self.pulse_dir is None:
            # No sound server: the runtime folder is the home's.
            env["XDG_RUNTIME_DIR"] = self.home
            del env["PULSE_SERVER"]
        if self.bus_dir is not None:
            env["DBUS_SESSION_BUS_ADDRESS"] = self.bus_address()
        return env

    def bus_address(self):
        return f"unix:path={self.bus_dir}/bus"

    def __enter__(self):
        try:
            self._start_x()
            self._start_window_manager()
            self._start_sound()
            self._start_bus()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        self.procs.stop_all()
        for folder in (self.pulse_dir, self.bus_dir):
            if folder:
                shutil.rmtree(folder, ignore_errors=True)
        self.pulse_dir = self.bus_dir = None

    def _start_x(self):
        read_fd, write_fd = os.pipe()
        args = ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                f"{self.width}x{self.height}x24", "-nolisten", "tcp", "-noreset",
                "-dpi", "96"]
        log = open(os.path.join(self.logs, "xvfb.log"), "ab")
        try:
            child = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                     pass_fds=(write_fd,), preexec_fn=_die_with_parent)
        finally:
            log.close()
            os.close(write_fd)
        self.procs._children.append(child)
        number = b""
        deadline = time.monotonic() + 15
        with os.fdopen(read_fd, "rb") as pipe:
            os.set_blocking(pipe.fileno(), False)
            while not number.endswith(b"\n"):
                if child.poll() is not None:
                    raise SetupError("Xvfb ended at start; see logs/xvfb.log")
                if time.monotonic() > deadline:
                    raise SetupError("Xvfb did not report its display")
                chunk = pipe.read()
                if chunk:
                    number += chunk
                else:
                    time.sleep(0.02)
        self.display = ":" + number.decode().strip()
        # The X server answers once xdpyinfo-like queries succeed.
        wait_until(lambda: subprocess.run(["xdotool", "getdisplaygeometry"], env=self._x_env(),
                                          capture_output=True).returncode == 0,
                   10, what="the X server")

    def _x_env(self):
        return {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "DISPLAY": self.display,
                "HOME": self.home}

    def _start_window_manager(self):
        self.procs.start(["openbox", "--sm-disable"], env=self._x_env(),
                         log_path=os.path.join(self.logs, "openbox.log"))

        def managed():
            out = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                 env=self._x_env(), capture_output=True, text=True).stdout
            return "window id" in out
        wait_until(managed, 10, what="the window manager")

    def _start_bus(self):
        self.bus_dir = tempfile.mkdtemp(prefix="corvan-e2e-bus-")
        self.procs.start(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                          f"--address={self.bus_address()}"],
                         env={"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.home},
                         log_path=os.path.join(self.logs, "dbus.log"))
        wait_until(lambda: os.path.exists(os.path.join(self.bus_dir, "bus")), 10,
                   what="the session bus")

    def _start_sound(self):
        self.pulse_dir = tempfile.mkdtemp(prefix="corvan-e2e-pulse-")
        # The daemon refuses to start with PULSE_SERVER set, so its own
        # environment has none; the clients get it in env().
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": self.home,
               "PULSE_RUNTIME_PATH": self.pulse_dir, "XDG_RUNTIME_DIR": self.pulse_dir}
        socket = os.path.join(self.pulse_dir, "native")
        self.procs.start(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
             "--disallow-module-loading=no", "--log-target=stderr", "--disable-shm=yes",
             "-L", f"module-null-sink sink_name={self.sink} rate=44100 channels=2",
             "-L", f"module-native-protocol-unix auth-anonymous=1 socket={socket}"],
            env=env, log_path=os.path.join(self.logs, "pulseaudio.log"))

        def answers():
            return subprocess.run(["pactl", "info"], env=self.env(), capture_output=True,
                                  text=True).returncode == 0
        wait_until(answers, 15, interval=0.1, what="the sound server")
        subprocess.run(["pactl", "set-default-sink", self.sink], env=self.env(), check=True,
                       capture_output=True)


class StartingDesktop(Desktop):
    """An X server whose window manager is started at the moment the caller
    asks and is not waited for, as when a session starts its programs at
    login: they come up beside a window manager that is itself starting. No
    sound server."""

    def __enter__(self):
        try:
            self._start_x()
        except BaseException:
            self.close()
            raise
        return self

    def start_window_manager(self):
        self.procs.start(["openbox", "--sm-disable"], env=self._x_env(),
                         log_path=os.path.join(self.logs, "openbox.log"))
