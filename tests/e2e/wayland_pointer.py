#!/usr/bin/python3
"""A pointer for a headless wlroots compositor, which has no input device.

Connects to $WAYLAND_DISPLAY, makes one virtual pointer through the
zwlr_virtual_pointer_manager_v1 protocol (the compositor then gives its seat
a pointer) and keeps it while it reads commands from standard input, one a
line, answering "ok" to each once the compositor has taken it:
  at X Y W H      the pointer to (X, Y) of a W x H layout
  move DX DY      the pointer by (DX, DY)
  press | release the left button
Ends at the end of its input. Speaks the Wayland wire protocol itself, so it
needs nothing beyond Python.
"""
import os
import socket
import struct
import sys
import time

BTN_LEFT = 0x110


class Connection:
    def __init__(self):
        path = os.environ["WAYLAND_DISPLAY"]
        if not path.startswith("/"):
            path = os.path.join(os.environ["XDG_RUNTIME_DIR"], path)
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.next_id = 2  # 1 is wl_display
        self.buffer = b""

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def send(self, obj, opcode, payload=b""):
        self.sock.sendall(struct.pack("<II", obj, ((8 + len(payload)) << 16) | opcode) + payload)

    def events(self):
        """Reads what has arrived: (object, opcode, payload) tuples."""
        self.buffer += self.sock.recv(65536)
        while len(self.buffer) >= 8:
            obj, word = struct.unpack("<II", self.buffer[:8])
            size = word >> 16
            if len(self.buffer) < size:
                break
            yield obj, word & 0xFFFF, self.buffer[8:size]
            self.buffer = self.buffer[size:]

    def roundtrip(self):
        """wl_display.sync: returns the events that came before its done."""
        callback = self.new_id()
        self.send(1, 0, struct.pack("<I", callback))
        seen = []
        while True:
            for event in self.events():
                if event[0] == callback:
                    return seen
                if event[0] == 1 and event[1] == 0:  # wl_display.error
                    raise RuntimeError("compositor error: %r" % (event[2],))
                seen.append(event)


def string(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


def fixed(value):
    return struct.pack("<i", int(round(value * 256)))


def main():
    wl = Connection()
    registry = wl.new_id()
    wl.send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
    globals_ = {}
    for obj, opcode, payload in wl.roundtrip():
        if obj == registry and opcode == 0:
            name, length = struct.unpack("<II", payload[:8])
            interface = payload[8:8 + length - 1].decode()
            globals_[interface] = name
    if "zwlr_virtual_pointer_manager_v1" not in globals_:
        print("no virtual pointer manager", flush=True)
        return 1
    manager = wl.new_id()
    wl.send(registry, 0, struct.pack("<I", globals_["zwlr_virtual_pointer_manager_v1"]) +
            string("zwlr_virtual_pointer_manager_v1") + struct.pack("<II", 1, manager))
    pointer = wl.new_id()
    wl.send(manager, 0, struct.pack("<II", 0, pointer))  # create_virtual_pointer(seat: default)
    wl.roundtrip()
    print("ok", flush=True)

    def stamp():
        return struct.pack("<I", int(time.monotonic() * 1000) & 0xFFFFFFFF)

    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        if words[0] == "at":
            x, y, w, h = (int(v) for v in words[1:5])
            wl.send(pointer, 1, stamp() + struct.pack("<IIII", x, y, w, h))
        elif words[0] == "move":
            wl.send(pointer, 0, stamp() + fixed(float(words[1])) + fixed(float(words[2])))
        elif words[0] in ("press", "release"):
            wl.send(pointer, 2, stamp() + struct.pack("<II", BTN_LEFT, 1 if words[0] == "press" else 0))
        else:
            print("unknown command", words[0], flush=True)
            continue
        wl.send(pointer, 4)  # frame
        wl.roundtrip()
        print("ok", flush=True)
    wl.send(pointer, 8)  # destroy
    wl.roundtrip()
    return 0


if __name__ == "__main__":
    sys.exit(main())
