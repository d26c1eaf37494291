#!/usr/bin/python3
"""Drops files onto an X window the way a file manager does, through the XDND protocol.

Usage: tools/xdnd-drop.py [--window XID] [--timeout SECONDS] X Y FILE...

X and Y are a point on the screen (root window coordinates); with --window they are relative
to that window's top left corner instead. The drop goes to the XDND-aware window under the
point (or its XdndProxy), with the files as a text/uri-list of file:// URIs:

  own XdndSelection; XdndEnter and XdndPosition to the target; wait for XdndStatus; XdndDrop
  if the target accepts (XdndLeave if not); answer its SelectionRequests for text/uri-list;
  wait for XdndFinished.

Needs only libX11 (through ctypes). Exit status 0 when the target took the drop and said it
finished with it, 1 when it refused the drop or did not answer in time, 2 on a usage error."""

import argparse
import ctypes
import os
import select
import sys
import time
import urllib.parse

XDND_VERSION = 5

# From X.h.
NONE = 0
CURRENT_TIME = 0
CLIENT_MESSAGE = 33
SELECTION_CLEAR = 29
SELECTION_REQUEST = 30
SELECTION_NOTIFY = 31
PROP_MODE_REPLACE = 0
NO_EVENT_MASK = 0
XA_ATOM = 4
XA_WINDOW = 33

Window = ctypes.c_ulong
Atom = ctypes.c_ulong


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", Window), ("message_type", Atom),
                ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]


class SelectionRequest(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("owner", Window), ("requestor", Window),
                ("selection", Atom), ("target", Atom), ("property", Atom),
                ("time", ctypes.c_ulong)]


class SelectionNotify(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("requestor", Window), ("selection", Atom),
                ("target", Atom), ("property", Atom), ("time", ctypes.c_ulong)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("client", ClientMessage),
                ("request", SelectionRequest), ("notify", SelectionNotify),
                ("pad", ctypes.c_long * 24)]


class DropError(Exception):
    pass


def load_xlib():
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = Window
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XInternAtom.restype = Atom
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XGetAtomName.restype = ctypes.c_void_p
    x.XGetAtomName.argtypes = [ctypes.c_void_p, Atom]
    x.XCreateSimpleWindow.restype = Window
    x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_int,
                                      ctypes.c_uint, ctypes.c_uint, ctypes.c_uint,
                                      ctypes.c_ulong, ctypes.c_ulong]
    x.XSetSelectionOwner.argtypes = [ctypes.c_void_p, Atom, Window, ctypes.c_ulong]
    x.XGetSelectionOwner.restype = Window
    x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, Atom]
    x.XTranslateCoordinates.argtypes = [ctypes.c_void_p, Window, Window, ctypes.c_int,
                                        ctypes.c_int, ctypes.POINTER(ctypes.c_int),
                                        ctypes.POINTER(ctypes.c_int), ctypes.POINTER(Window)]
    x.XGetWindowProperty.argtypes = [ctypes.c_void_p, Window, Atom, ctypes.c_long,
                                     ctypes.c_long, ctypes.c_int, Atom, ctypes.POINTER(Atom),
                                     ctypes.POINTER(ctypes.c_int),
                                     ctypes.POINTER(ctypes.c_ulong),
                                     ctypes.POINTER(ctypes.c_ulong),
                                     ctypes.POINTER(ctypes.c_void_p)]
    x.XChangeProperty.argtypes = [ctypes.c_void_p, Window, Atom, Atom, ctypes.c_int,
                                  ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int, ctypes.c_long,
                             ctypes.POINTER(XEvent)]
    x.XPending.argtypes = [ctypes.c_void_p]
    x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
    x.XFlush.argtypes = [ctypes.c_void_p]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XConnectionNumber.argtypes = [ctypes.c_void_p]
    x.XFree.argtypes = [ctypes.c_void_p]
    x.XDestroyWindow.argtypes = [ctypes.c_void_p, Window]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    return x


def uri_list(paths):
    """text/uri-list: one file:// URI a line, the path's UTF-8 bytes percent-encoded."""
    lines = ["file://" + urllib.parse.quote(os.path.abspath(p), safe="/") for p in paths]
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


class Source:
    def __init__(self, timeout):
        self.x = load_xlib()
        self.display = self.x.XOpenDisplay(None)
        if not self.display:
            raise DropError("cannot open the X display %r" % os.environ.get("DISPLAY", ""))
        self.root = self.x.XDefaultRootWindow(self.display)
        self.timeout = timeout
        self.atoms = {}
        # Never mapped: it only owns the selection and receives the target's messages.
        self.window = self.x.XCreateSimpleWindow(self.display, self.root, -10, -10, 1, 1, 0, 0, 0)
        self.data = b""
        self.served = 0

    def atom(self, name):
        if name not in self.atoms:
            self.atoms[name] = self.x.XInternAtom(self.display, name.encode(), 0)
        return self.atoms[name]

    def atom_name(self, atom):
        if not atom:
            return "None"
        text = self.x.XGetAtomName(self.display, atom)
        name = ctypes.string_at(text).decode()
        self.x.XFree(text)
        return name

    def window_property(self, window, name, kind):
        actual = Atom()
        fmt = ctypes.c_int()
        count = ctypes.c_ulong()
        after = ctypes.c_ulong()
        data = ctypes.c_void_p()
        if self.x.XGetWindowProperty(self.display, window, self.atom(name), 0, 64, 0, kind,
                                     ctypes.byref(actual), ctypes.byref(fmt),
                                     ctypes.byref(count), ctypes.byref(after),
                                     ctypes.byref(data)) != 0:
            return None
        try:
            if actual.value == NONE or count.value == 0 or fmt.value != 32:
                return None
            return ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[0]
        finally:
            if data:
                self.x.XFree(data)

    def to_root(self, window, x, y):
        rx, ry, child = ctypes.c_int(), ctypes.c_int(), Window()
        if not self.x.XTranslateCoordinates(self.display, window, self.root, x, y,
                                            ctypes.byref(rx), ctypes.byref(ry),
                                            ctypes.byref(child)):
            raise DropError("window 0x%x is not on the root window's screen" % window)
        return rx.value, ry.value

    def target_at(self, x, y):
        """The XDND-aware window under the root point x, y, searched from the top down."""
        window = self.root
        while True:
            version = self.window_property(window, "XdndAware", XA_ATOM)
            if version is not None and window != self.root:
                return window, version
            cx, cy, child = ctypes.c_int(), ctypes.c_int(), Window()
            self.x.XTranslateCoordinates(self.display, self.root, window, x, y,
                                         ctypes.byref(cx), ctypes.byref(cy), ctypes.byref(child))
            if not child.value:
                raise DropError("no window under %d,%d accepts XDND drops (none has XdndAware)"
                                % (x, y))
            window = child.value

    def send(self, target, name, *values):
        event = XEvent()
        event.client.type = CLIENT_MESSAGE
        event.client.window = target
        event.client.message_type = self.atom(name)
        event.client.format = 32
        for i, value in enumerate(values):
            event.client.l[i] = value
        self.x.XSendEvent(self.display, target, 0, NO_EVENT_MASK, ctypes.byref(event))
        self.x.XFlush(self.display)

    def serve(self, request):
        """Answers a SelectionRequest for XdndSelection: the list of files, or the targets."""
        r = request.request
        reply = XEvent()
        reply.notify.type = SELECTION_NOTIFY
        reply.notify.requestor = r.requestor
        reply.notify.selection = r.selection
        reply.notify.target = r.target
        reply.notify.time = r.time
        reply.notify.property = NONE
        # An obsolete requestor names no property: the target then serves as the property.
        prop = r.property or r.target
        if r.selection == self.atom("XdndSelection"):
            if r.target == self.atom("text/uri-list"):
                buffer = ctypes.create_string_buffer(self.data, len(self.data))
                self.x.XChangeProperty(self.display, r.requestor, prop, r.target, 8,
                                       PROP_MODE_REPLACE, buffer, len(self.data))
                reply.notify.property = prop
                self.served += 1
            elif r.target == self.atom("TARGETS"):
                targets = (Atom * 2)(self.atom("TARGETS"), self.atom("text/uri-list"))
                self.x.XChangeProperty(self.display, r.requestor, prop, XA_ATOM, 32,
                                       PROP_MODE_REPLACE, targets, 2)
                reply.notify.property = prop
        if reply.notify.property == NONE:
            print("xdnd-drop: refused a request for %s as %s"
                  % (self.atom_name(r.selection), self.atom_name(r.target)), file=sys.stderr)
        self.x.XSendEvent(self.display, r.requestor, 0, NO_EVENT_MASK, ctypes.byref(reply))
        self.x.XFlush(self.display)

    def wait_for(self, name, what):
        """Serves selection requests until the ClientMessage NAME comes; returns its data."""
        deadline = time.monotonic() + self.timeout
        event = XEvent()
        fd = self.x.XConnectionNumber(self.display)
        while True:
            while self.x.XPending(self.display):
                self.x.XNextEvent(self.display, ctypes.byref(event))
                if event.type == SELECTION_REQUEST:
                    self.serve(event)
                elif event.type == SELECTION_CLEAR:
                    raise DropError("another client took the XdndSelection during the drop")
                elif (event.type == CLIENT_MESSAGE and
                      event.client.message_type == self.atom(name)):
                    return list(event.client.l)
            left = deadline - time.monotonic()
            if left <= 0:
                raise DropError("no %s from the target within %g s (%s)"
                                % (name, self.timeout, what))
            select.select([fd], [], [], left)

    def drop(self, target, version, x, y, paths):
        self.data = uri_list(paths)
        copy = self.atom("XdndActionCopy")
        selection = self.atom("XdndSelection")
        self.x.XSetSelectionOwner(self.display, selection, self.window, CURRENT_TIME)
        if self.x.XGetSelectionOwner(self.display, selection) != self.window:
            raise DropError("could not own the XdndSelection")
        proxy = self.window_property(target, "XdndProxy", XA_WINDOW)
        to = proxy or target
        version = min(version, XDND_VERSION)
        self.send(to, "XdndEnter", self.window, version << 24, self.atom("text/uri-list"), 0, 0)
        self.send(to, "XdndPosition", self.window, 0, (x << 16) | y, CURRENT_TIME, copy)
        status = self.wait_for("XdndStatus", "after XdndEnter and XdndPosition")
        if not status[1] & 1:
            self.send(to, "XdndLeave", self.window, 0, 0, 0, 0)
            raise DropError("window 0x%x does not accept the drop at %d,%d" % (target, x, y))
        self.send(to, "XdndDrop", self.window, 0, CURRENT_TIME, 0, 0)
        finished = self.wait_for("XdndFinished", "after XdndDrop")
        if version >= 5 and not finished[1] & 1:
            raise DropError("window 0x%x finished without taking the drop" % target)
        if not self.served:
            raise DropError("window 0x%x finished without asking for the files" % target)

    def close(self):
        self.x.XDestroyWindow(self.display, self.window)
        self.x.XCloseDisplay(self.display)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--window", help="X window (decimal or 0x hex) the point is relative to")
    parser.add_argument("--timeout", type=float, default=10, help="seconds to wait for each answer")
    parser.add_argument("x", type=int)
    parser.add_argument("y", type=int)
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    for path in args.files:
        if not os.path.exists(path):
            parser.error("no such file or folder: %s" % path)
    source = None
    try:
        source = Source(args.timeout)
        x, y = args.x, args.y
        target = version = None
        if args.window:
            window = int(args.window, 0)
            x, y = source.to_root(window, x, y)
            version = source.window_property(window, "XdndAware", XA_ATOM)
            if version is not None:
                target = window
        if target is None:
            target, version = source.target_at(x, y)
        source.drop(target, version, x, y, args.files)
        print("xdnd-drop: window 0x%x took %d item(s) at %d,%d" % (target, len(args.files), x, y))
        return 0
    except DropError as error:
        print("xdnd-drop: %s" % error, file=sys.stderr)
        return 1
    finally:
        if source:
            source.close()


if __name__ == "__main__":
    sys.exit(main())
