#!/usr/bin/env python3
"""Runs end-to-end scenarios of the player in a private desktop.

    run.py --player BIN --oracle BIN --media DIR --work DIR SCENARIO...
    run.py --list

Each scenario gets its own X server, window manager and sound server, started
here and ended here, and stops by itself within --limit seconds. The work
folder keeps, per scenario, the logs of every process, the sound recording
and, on a failure, the screenshots that did not match.
"""

import argparse
import os
import signal
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from player import CheckFailed  # noqa: E402
from scenarios import SCENARIOS  # noqa: E402
from session import Session  # noqa: E402


class OutOfTime(Exception):
    pass


def _out_of_time(signum, frame):
    raise OutOfTime()


def _print_tail(path, lines=30):
    """The end of the player's log: often the one trace of a failure seen
    only on another machine."""
    try:
        with open(path, errors="replace") as f:
            tail = f.readlines()[-lines:]
    except OSError:
        return
    if tail:
        print(f"    last lines of {os.path.basename(path)}:", flush=True)
        print("".join("    | " + line for line in tail), end="", flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--player")
    parser.add_argument("--oracle")
    parser.add_argument("--media")
    parser.add_argument("--work", default=os.path.join(os.getcwd(), "e2e-work"))
    parser.add_argument("--limit", type=float, default=200.0,
                        help="seconds a scenario may take")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("scenarios", nargs="*")
    args = parser.parse_args()

    if args.list:
        print("\n".join(SCENARIOS))
        return 0
    unknown = [n for n in args.scenarios if n not in SCENARIOS]
    if unknown or not args.scenarios:
        parser.error(f"name scenarios from --list (unknown: {', '.join(unknown) or 'none given'})")
    for needed in ("player", "oracle", "media"):
        if not getattr(args, needed):
            parser.error(f"--{needed} is required")
    args.work = os.path.abspath(args.work)
    args.player, args.oracle, args.media = (os.path.abspath(p) for p in (args.player, args.oracle, args.media))

    signal.signal(signal.SIGALRM, _out_of_time)
    # CTest ends a test that outlives its time with SIGTERM or SIGKILL; on
    # SIGTERM the desktop is still taken down.
    signal.signal(signal.SIGTERM, _out_of_time)
    passed = failed = 0
    for name in args.scenarios:
        args.t0 = time.monotonic()
        print(f"=== {name}", flush=True)
        signal.setitimer(signal.ITIMER_REAL, args.limit)
        try:
            with Session(args, name) as session:
                SCENARIOS[name](session)
            outcome = None
        except CheckFailed as failure:
            outcome = f"FAILED: {failure}"
        except OutOfTime:
            outcome = f"FAILED: out of time after {args.limit:.0f} s"
        except Exception:
            outcome = "ERROR:\n" + traceback.format_exc()
        finally:
            signal.setitimer(signal.ITIMER_REAL, 0)
        seconds = time.monotonic() - args.t0
        if outcome is None:
            passed += 1
            print(f"=== {name}: passed in {seconds:.1f} s", flush=True)
        else:
            failed += 1
            print(f"=== {name}: {outcome}\n    (logs in {os.path.join(args.work, name)})", flush=True)
            _print_tail(os.path.join(args.work, name, "logs", "player.log"))
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
