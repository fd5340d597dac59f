#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Small X11 helpers for the window test: a screenshot, a drag source that
offers files as a file manager does, and closing a window the way a window
manager's close button does."""
import ctypes
import sys


def screenshot(out, area=None):
    import gi
    gi.require_version("Gdk", "3.0")
    from gi.repository import Gdk
    root = Gdk.get_default_root_window()
    x, y, w, h = area or (0, 0, root.get_width(), root.get_height())
    pixbuf = Gdk.pixbuf_get_from_window(root, x, y, w, h)
    if pixbuf is None:
        sys.exit("no pixels from the root window")
    pixbuf.savev(out, "png", [], [])


def drag_source(uris):
    """Shows a window titled "drag-source" whose button drags `uris` as
    text/uri-list; returns when a drag from it has ended."""
    import gi
    gi.require_version("Gtk", "3.0")
    from gi.repository import Gdk, Gtk
    win = Gtk.Window(title="drag-source")
    button = Gtk.Button(label="songs")
    win.add(button)
    button.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [Gtk.TargetEntry.new("text/uri-list", 0, 0)],
                           Gdk.DragAction.COPY)
    button.connect("drag-data-get", lambda w, ctx, data, info, t: data.set_uris(uris))
    button.connect("drag-end", lambda *a: Gtk.main_quit())
    win.set_default_size(120, 60)
    win.move(800, 100)
    win.show_all()
    Gtk.main()


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def close(window):
    """Sends WM_DELETE_WINDOW, so the program runs its own close handling."""
    x = ctypes.cdll.LoadLibrary("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(XEvent)]
    x.XFlush.argtypes = [ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x.XOpenDisplay(None)
    if not dpy:
        sys.exit("cannot open the display")
    ev = XEvent()
    ev.xclient.type = 33  # ClientMessage
    ev.xclient.window = window
    ev.xclient.message_type = x.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
    ev.xclient.format = 32
    ev.xclient.data[0] = x.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
    ev.xclient.data[1] = 0  # CurrentTime
    if not x.XSendEvent(dpy, window, 0, 0, ctypes.byref(ev)):
        sys.exit("XSendEvent failed")
    x.XFlush(dpy)
    x.XCloseDisplay(dpy)


if __name__ == "__main__":
    if len(sys.argv) in (3, 7) and sys.argv[1] == "shot":
        screenshot(sys.argv[2], tuple(int(v) for v in sys.argv[3:]) or None)
    elif len(sys.argv) >= 3 and sys.argv[1] == "drag-source":
        drag_source(sys.argv[2:])
    elif len(sys.argv) == 3 and sys.argv[1] == "close":
        close(int(sys.argv[2]))
    else:
        sys.exit("usage: xwin.py shot OUT.png [X Y W H] | drag-source URI... | close WINDOW-ID")
