# SPDX-License-Identifier: BSL-1.0
# tavtool's progress line: shown on a terminal once the work has run a second,
# erased at the end; never with --quiet, never where standard error is a pipe.
# The work is `tree -` of a WAV that the test writes into its standard input a
# block at a time, so that it lasts as long as the test wants: until the line
# shows, or, where none may show, until it would have.
# Usage: progress_cli.py TAVTOOL
import os
import pty
import select
import struct
import subprocess
import sys
import time

tavtool = sys.argv[1]
block = b'\0' * (1 << 18)
# A WAV written to a pipe: its lengths are placeholders, and the data follows.
wav = b'RIFF' + struct.pack('<I', 0xFFFFFFFF) + b'WAVE' + b'fmt ' + struct.pack('<IHHIIHH', 16, 1, 1, 8000, 8000, 1, 8) \
    + b'data' + struct.pack('<I', 0xFFFFFFFF)
failures = 0


def run(options, terminal, until):
    """Feeds tree - until `until(seen, seconds)` holds; returns all it wrote to standard error."""
    if terminal:
        master, slave = pty.openpty()
    else:
        master, slave = os.pipe()
    read, write = os.pipe()
    child = subprocess.Popen([tavtool, 'tree', *options, '-'], stdin=read, stdout=subprocess.DEVNULL, stderr=slave)
    os.close(read)
    os.close(slave)
    seen = b''
    start = time.monotonic()
    os.write(write, wav)

    def drain(wait):
        nonlocal seen
        while select.select([master], [], [], wait)[0]:
            try:
                got = os.read(master, 4096)
            except OSError:  # the terminal's other side is gone
                return
            if not got:
                return
            seen += got
            wait = 0

    while not until(seen, time.monotonic() - start):
        if time.monotonic() - start > 300:
            print('FAIL: gave up waiting: %r' % seen[-200:])
            sys.exit(1)
        os.write(write, block)  # waits while tavtool is busy
        drain(0)
    os.close(write)
    status = child.wait()
    drain(1)
    os.close(master)
    if status != 0:
        print('FAIL: tavtool tree %s exited %d' % (' '.join(options), status))
        sys.exit(1)
    return seen.decode('utf-8', 'replace')


def check(what, ok, seen):
    global failures
    if not ok:
        failures += 1
        print('FAIL: %s: %r' % (what, seen[-300:]))


# On a terminal: the line shows, says how much and how fast, and is erased at the end.
seen = run([], True, lambda seen, seconds: b'/s' in seen)
shown = [line for line in seen.split('\r') if line.strip()]
check('a line of progress', any(line.startswith('tavtool: ') and line.rstrip().endswith('B/s') for line in shown), seen)
check('erased at the end', seen.endswith('\r') and seen.split('\r')[-2].strip() == '', seen)


def past_a_second():
    """Until the work has run past a second and gone on reading: a line would show by then."""
    sent = [0]

    def until(seen, seconds):
        sent[0] += 1
        return seconds > 1.5 and sent[0] > 8
    return until


check('nothing with --quiet', run(['--quiet'], True, past_a_second()) == '', '')
check('nothing through a pipe', run([], False, past_a_second()) == '', '')
if failures:
    sys.exit(1)
print('progress: shown on a terminal and erased; none with --quiet or through a pipe')
