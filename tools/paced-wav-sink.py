#!/usr/bin/env python3
"""Usage: paced-wav-sink.py OUT.wav

The end of ALSA's file sink in a Wine session (tools/wine-sound.sh): reads the WAV stream that
ALSA's "file" plugin pipes to it and writes it to OUT.wav no faster than it would play. ALSA's
"null" device takes sound as fast as it comes, so a program's audio thread, woken in real time,
could never keep up with it; the pipe filling up holds the writer back instead, as a sound card
would. When the stream ends, the sizes in the header are filled in (a pipe can't be rewound).

The stream also counts as ended after a while without data: the pipe's writing end is not
closed on exec, so a process that Wine starts while the stream is open keeps it, and the end
of the file never comes; ALSA, closing the stream, waits for this program to end."""
import fcntl
import os
import select
import struct
import sys
import time

HEADER_BYTES = 44
F_SETPIPE_SZ = 1031  # Linux: the pipe's buffer, by default 64 KiB, which would be taken at once
LEAD_SECONDS = 0.02  # how far writing may run ahead of the clock
QUIET_SECONDS = 2.0  # no data for this long: the stream has ended


def read_some(fd, size):
    ready, _, _ = select.select([fd], [], [], QUIET_SECONDS)
    return os.read(fd, size) if ready else b""


def read_header(fd):
    header = b""
    while len(header) < HEADER_BYTES:
        chunk = read_some(fd, HEADER_BYTES - len(header))
        if not chunk:
            break
        header += chunk
    return header


def main():
    fd = sys.stdin.fileno()
    try:
        fcntl.fcntl(fd, F_SETPIPE_SZ, 4096)
    except OSError:
        pass  # not a pipe, or already fuller than that: the start is taken faster
    header = read_header(fd)
    with open(sys.argv[1], "wb") as out:
        out.write(header)
        if len(header) < HEADER_BYTES or header[:4] != b"RIFF":
            return
        byte_rate = struct.unpack_from("<I", header, 28)[0] or 1
        start = time.monotonic()
        written = 0
        while True:
            chunk = read_some(fd, 4096)
            if not chunk:
                break
            out.write(chunk)
            written += len(chunk)
            ahead = written / byte_rate - (time.monotonic() - start)
            if ahead > LEAD_SECONDS:
                out.flush()
                time.sleep(ahead - LEAD_SECONDS)
        out.seek(4)
        out.write(struct.pack("<I", 36 + written))
        out.seek(40)
        out.write(struct.pack("<I", written))


if __name__ == "__main__":
    main()
