#!/usr/bin/env python3
"""Runs a real browser headless until the pages have reported, then closes it as a user
would, so that it writes everything it keeps to its profile before it ends.

usage: browse.py REPORTS COUNT TIMEOUT chromium|firefox ARGS...
Starts the browser with ARGS, waits (up to TIMEOUT seconds) until the file REPORTS holds
COUNT lines, then asks the browser to close: Chromium through its DevTools pipe
(Browser.close, which shuts it down as closing its last window does), Firefox through
Marionette (Marionette:Quit, as its menu's Quit does; the profile's user.js names the
port in marionette.port). Killed with a signal, either browser ends before writing what
it keeps in memory (Firefox its cookies, Chromium its cookies and Local Storage). Waits up
to TIMEOUT seconds more for it to end. Exits 0 when the reports came and the browser ended by itself, 1 otherwise (the
browser is then killed).
"""
import json
import os
import re
import signal
import socket
import subprocess
import sys
import time


def lines(path):
    try:
        with open(path) as f:
            return sum(1 for line in f if line.strip())
    except FileNotFoundError:
        return 0


def marionette_quit(port, deadline):
    """Marionette's protocol: messages "LENGTH:JSON", commands [0, id, name, params]."""
    sock = None
    while sock is None:
        try:
            sock = socket.create_connection(("127.0.0.1", port), timeout=10)
        except OSError:
            if time.monotonic() > deadline:
                raise
            time.sleep(0.2)
    buffer = b""

    def receive():
        nonlocal buffer
        while True:
            m = re.match(rb"(\d+):", buffer)
            if m and len(buffer) >= m.end() + int(m.group(1)):
                body = buffer[m.end():m.end() + int(m.group(1))]
                buffer = buffer[m.end() + int(m.group(1)):]
                return json.loads(body)
            data = sock.recv(65536)
            if not data:
                return None
            buffer += data

    def send(n, name, params):
        body = json.dumps([0, n, name, params]).encode()
        sock.sendall(str(len(body)).encode() + b":" + body)
        return receive()

    receive()  # the greeting
    send(1, "WebDriver:NewSession", {"capabilities": {}})
    send(2, "Marionette:Quit", {"flags": ["eAttemptQuit"]})
    sock.close()


def main():
    reports, count, timeout, kind = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), sys.argv[4]
    args = sys.argv[5:]
    pipe = None
    if kind == "chromium":
        # The DevTools pipe: the browser reads commands on fd 3, answers on fd 4.
        to_browser_r, to_browser_w = os.pipe()
        from_browser_r, from_browser_w = os.pipe()
        os.set_inheritable(to_browser_r, True)
        os.set_inheritable(from_browser_w, True)

        def fds():
            os.dup2(to_browser_r, 3)
            os.dup2(from_browser_w, 4)

        proc = subprocess.Popen(["chromium", "--remote-debugging-pipe"] + args,
                                preexec_fn=fds,
                                close_fds=False, start_new_session=True)
        os.close(to_browser_r)
        os.close(from_browser_w)
        pipe = to_browser_w
    else:
        proc = subprocess.Popen(["firefox-esr", "--marionette"] + args, start_new_session=True)
        profile = args[args.index("--profile") + 1]
        with open(os.path.join(profile, "user.js")) as f:
            port = int(re.search(r'"marionette.port",\s*(\d+)', f.read()).group(1))
    ok = True
    deadline = time.monotonic() + timeout
    while lines(reports) < count and proc.poll() is None and time.monotonic() < deadline:
        time.sleep(0.2)
    if lines(reports) < count:
        print(f"browse.py: {lines(reports)} of {count} reports in {timeout:.0f} s", file=sys.stderr)
        ok = False
    if proc.poll() is None:
        if pipe is not None:
            os.write(pipe, json.dumps({"id": 1, "method": "Browser.close"}).encode() + b"\0")
        else:
            try:
                marionette_quit(port, time.monotonic() + timeout)
            except (OSError, ValueError) as e:
                print(f"browse.py: Marionette: {e}", file=sys.stderr)
                ok = False
        try:
            proc.wait(timeout)
        except subprocess.TimeoutExpired:
            print("browse.py: the browser did not end when asked", file=sys.stderr)
            ok = False
    else:
        print(f"browse.py: the browser ended by itself ({proc.returncode})", file=sys.stderr)
        ok = False
    # Whatever it left running (a helper process) goes with it.
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    proc.wait()
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
