#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# A stand-in for the desktop's notification service on the session bus: prints "ready" once
# it owns org.freedesktop.Notifications, then every Notify call as one JSON line; a line
# "click ID" on its input is the user clicking that notification. Needs python3-gi.
import json
import sys

from gi.repository import Gio, GLib

INTERFACE = """
<node>
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/>
      <arg type="u" direction="out"/>
    </method>
    <method name="GetCapabilities"><arg type="as" direction="out"/></method>
    <method name="GetServerInformation">
      <arg type="s" direction="out"/><arg type="s" direction="out"/>
      <arg type="s" direction="out"/><arg type="s" direction="out"/>
    </method>
    <method name="CloseNotification"><arg type="u" direction="in"/></method>
    <signal name="ActionInvoked"><arg type="u"/><arg type="s"/></signal>
    <signal name="NotificationClosed"><arg type="u"/><arg type="u"/></signal>
  </interface>
</node>
"""
PATH = "/org/freedesktop/Notifications"
NAME = "org.freedesktop.Notifications"
last_id = 0
connection = None


def on_call(conn, sender, path, interface, method, params, invocation):
    global last_id
    if method == "Notify":
        app, replaces, icon, summary, body, actions, hints, timeout = params.unpack()
        last_id = replaces or last_id + 1
        print(json.dumps({"id": last_id, "app": app, "replaces": replaces, "icon": icon,
                          "summary": summary, "body": body, "actions": actions,
                          "timeout": timeout}), flush=True)
        invocation.return_value(GLib.Variant("(u)", (last_id,)))
    elif method == "GetCapabilities":
        invocation.return_value(GLib.Variant("(as)", (["actions", "body", "body-markup"],)))
    elif method == "GetServerInformation":
        invocation.return_value(GLib.Variant("(ssss)", ("fake", "nuvio tests", "1", "1.2")))
    else:
        invocation.return_value(None)


def on_input(channel, condition):
    line = sys.stdin.readline()
    if not line:
        loop.quit()
        return False
    words = line.split()
    if len(words) == 2 and words[0] == "click":
        connection.emit_signal(None, PATH, NAME, "ActionInvoked",
                               GLib.Variant("(us)", (int(words[1]), "default")))
    return True


def on_bus(conn, name):
    global connection
    connection = conn
    info = Gio.DBusNodeInfo.new_for_xml(INTERFACE).interfaces[0]
    conn.register_object(PATH, info, on_call, None, None)


loop = GLib.MainLoop()
Gio.bus_own_name(Gio.BusType.SESSION, NAME, Gio.BusNameOwnerFlags.NONE, on_bus,
                 lambda conn, name: print("ready", flush=True), lambda conn, name: loop.quit())
GLib.io_add_watch(GLib.IOChannel.unix_new(sys.stdin.fileno()), GLib.PRIORITY_DEFAULT,
                  GLib.IO_IN | GLib.IO_HUP, on_input)
# Never outlives the test that started it.
GLib.timeout_add_seconds(120, loop.quit)
loop.run()
