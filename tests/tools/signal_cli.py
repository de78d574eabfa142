# SPDX-License-Identifier: BSL-1.0
# A signal while tavtool keys waits for a key (its terminal closed, a kill)
# puts the terminal back as it found it and ends the program as the signal
# would, so that a shell sees why it ended.
# Usage: signal_cli.py TAVTOOL
import os
import pty
import select
import signal
import sys
import termios
import time

tavtool = sys.argv[1]
failures = 0
cooked = termios.ICANON | termios.ECHO  # a new terminal's line mode, which the reader leaves

for signum in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
    pid, master = pty.fork()
    if pid == 0:
        os.execv(tavtool, [tavtool, 'keys'])
    seen, deadline = b'', time.monotonic() + 60
    while b'Escape twice' not in seen and time.monotonic() < deadline:
        if select.select([master], [], [], 1)[0]:
            seen += os.read(master, 4096)
    # Raw by the time it waits for a key: wait for the mode to change.
    while termios.tcgetattr(master)[3] & termios.ICANON and time.monotonic() < deadline:
        time.sleep(0.05)
    os.kill(pid, signum)
    status = None
    while status is None and time.monotonic() < deadline:
        if select.select([master], [], [], 0.1)[0]:
            try:
                os.read(master, 4096)
            except OSError:  # the program is gone, and its side of the terminal with it
                pass
        done, status = os.waitpid(pid, os.WNOHANG)
        status = status if done else None
    name = signal.Signals(signum).name
    if status is None:
        os.kill(pid, signal.SIGKILL)
        os.waitpid(pid, 0)
        print('FAIL: %s did not end tavtool keys' % name)
        failures += 1
    elif not os.WIFSIGNALED(status) or os.WTERMSIG(status) != signum:
        print('FAIL: after %s tavtool keys ended with status %d' % (name, status))
        failures += 1
    elif termios.tcgetattr(master)[3] & cooked != cooked:
        print('FAIL: after %s the terminal is not put back' % name)
        failures += 1
    os.close(master)

if failures:
    sys.exit(1)
print('signals: the terminal put back and the program ended by the signal')
