#!/usr/bin/python3
"""A desktop's tray and notification services on the session bus, recorded.

    fakedesktop.py RECORD_FILE

Owns org.kde.StatusNotifierWatcher, with a host registered, and
org.freedesktop.Notifications. Qt programs started after it on the same bus
make their tray icon a StatusNotifierItem and send their tray messages as
Notify calls (Qt decides once per process, when its first tray icon is made).

Every event is appended to RECORD_FILE as one JSON object per line, with
"time", the seconds since 1970 when it came:
    {"event": "ready"}                     both names are owned
    {"event": "item", "service": ..., "path": ..., "pid": ...}
                                           an item registered, by process pid
    {"event": "item-gone", "service": ...}
    {"event": "notify", "id": 1, "app_name": ..., "summary": ..., "body": ...,
     "app_icon": ..., "timeout": ...}
    {"event": "close", "id": ...}
    {"event": "tooltip", "service": ..., "icon": ..., "title": ...,
     "description": ...}                   or "error": ... instead

On SIGUSR1, or on the bus call
    gdbus call --session --dest org.kde.StatusNotifierWatcher \
        --object-path /StatusNotifierWatcher \
        --method org.kde.StatusNotifierWatcher.DumpToolTips
it reads the ToolTip property of every registered item and records one
"tooltip" line each (the call also returns them as an array of
(service, title, description)). A test can also read an item directly:
    gdbus call --session --dest SERVICE --object-path /StatusNotifierItem \
        --method org.freedesktop.DBus.Properties.Get \
        org.kde.StatusNotifierItem ToolTip
with SERVICE from the "item" line. SIGTERM ends it.
"""

import json
import signal
import sys
import time

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
WATCHER_PATH = "/StatusNotifierWatcher"
ITEM_INTERFACE = "org.kde.StatusNotifierItem"
NOTIFICATIONS = "org.freedesktop.Notifications"
NOTIFICATIONS_PATH = "/org/freedesktop/Notifications"
PROPERTIES = "org.freedesktop.DBus.Properties"

# Qt's QDBusInterface learns the watcher's properties from its introspection
# data, which dbus-python does not write for properties: it is given whole.
WATCHER_XML = """<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <method name="DumpToolTips"><arg type="a(sss)" direction="out"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
    <signal name="StatusNotifierHostUnregistered"/>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
    <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg type="s" direction="out"/></method>
  </interface>
</node>
"""


class Recorder:
    def __init__(self, path):
        self._file = open(path, "a", encoding="utf-8")

    def __call__(self, event, **fields):
        fields = {"event": event, "time": time.time(), **fields}
        self._file.write(json.dumps(fields, ensure_ascii=False) + "\n")
        self._file.flush()


class Watcher(dbus.service.Object):
    def __init__(self, bus, record):
        super().__init__(bus, WATCHER_PATH)
        self._bus = bus
        self._record = record
        # service name -> object path, in order of registration
        self.items = {}
        bus.add_signal_receiver(self._owner_changed, "NameOwnerChanged",
                                "org.freedesktop.DBus", "org.freedesktop.DBus",
                                "/org/freedesktop/DBus")

    def _item_id(self, service):
        return service + self.items[service]

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # The argument is a bus name, or an object path on the caller's
        # connection (libappindicator does that).
        if service.startswith("/"):
            name, path = sender, service
        else:
            name, path = service, "/StatusNotifierItem"
        self.items[str(name)] = str(path)
        self._record("item", service=str(name), path=str(path), sender=str(sender),
                     pid=self._pid(sender))
        self.StatusNotifierItemRegistered(self._item_id(name))

    def _pid(self, connection):
        try:
            return int(self._bus.call_blocking(
                "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                "GetConnectionUnixProcessID", "s", (connection,)))
        except dbus.DBusException:
            return None

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        self._record("host", service=str(service))

    @dbus.service.method(WATCHER, out_signature="a(sss)")
    def DumpToolTips(self):
        return dbus.Array([self._tooltip(s, p) for s, p in list(self.items.items())],
                          signature="(sss)")

    def dump_tooltips(self):
        self.DumpToolTips()
        return GLib.SOURCE_CONTINUE

    def _tooltip(self, service, path):
        try:
            item = self._bus.get_object(service, path, introspect=False)
            icon, _pixmaps, title, description = item.Get(
                ITEM_INTERFACE, "ToolTip", dbus_interface=PROPERTIES, timeout=5)
        except dbus.DBusException as error:
            self._record("tooltip", service=service, error=error.get_dbus_name())
            return (service, "", "")
        self._record("tooltip", service=service, icon=str(icon), title=str(title),
                     description=str(description))
        return (service, title, description)

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemUnregistered(self, service):
        pass

    @dbus.service.signal(WATCHER)
    def StatusNotifierHostRegistered(self):
        pass

    def _owner_changed(self, name, old_owner, new_owner):
        if new_owner:
            return
        for service in [s for s in self.items if s in (name, old_owner)]:
            item_id = self._item_id(service)
            del self.items[service]
            self._record("item-gone", service=service)
            self.StatusNotifierItemUnregistered(item_id)

    def _properties(self):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(
                [self._item_id(s) for s in self.items], signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        properties = self._properties()
        if interface not in (WATCHER, "") or name not in properties:
            raise dbus.exceptions.DBusException(
                "no property %s.%s" % (interface, name),
                name="org.freedesktop.DBus.Error.UnknownProperty")
        return properties[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self._properties() if interface in (WATCHER, "") else {}

    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return WATCHER_XML


class Notifications(dbus.service.Object):
    def __init__(self, bus, record):
        super().__init__(bus, NOTIFICATIONS_PATH)
        self._record = record
        self._last_id = 0

    @dbus.service.method(NOTIFICATIONS, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app_name, replaces_id, app_icon, summary, body, actions, hints, timeout):
        if replaces_id:
            notification_id = replaces_id
        else:
            self._last_id += 1
            notification_id = self._last_id
        self._record("notify", id=int(notification_id), app_name=str(app_name),
                     summary=str(summary), body=str(body), app_icon=str(app_icon),
                     timeout=int(timeout))
        return dbus.UInt32(notification_id)

    @dbus.service.method(NOTIFICATIONS, out_signature="as")
    def GetCapabilities(self):
        return ["body", "icon-static", "persistence"]

    @dbus.service.method(NOTIFICATIONS, out_signature="ssss")
    def GetServerInformation(self):
        return ("fakedesktop", "Clepsa tests", "1.0", "1.2")

    @dbus.service.method(NOTIFICATIONS, in_signature="u")
    def CloseNotification(self, notification_id):
        self._record("close", id=int(notification_id))
        # 3: closed by a call to CloseNotification.
        self.NotificationClosed(notification_id, 3)

    @dbus.service.signal(NOTIFICATIONS, signature="uu")
    def NotificationClosed(self, notification_id, reason):
        pass

    @dbus.service.signal(NOTIFICATIONS, signature="us")
    def ActionInvoked(self, notification_id, action_key):
        pass


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    record = Recorder(sys.argv[1])
    loop = GLib.MainLoop()

    watcher = Watcher(bus, record)
    notifications = Notifications(bus, record)
    names = []
    for name in (WATCHER, NOTIFICATIONS):
        names.append(dbus.service.BusName(name, bus, do_not_queue=True))
    watcher.StatusNotifierHostRegistered()

    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, watcher.dump_tooltips)
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, lambda: loop.quit())
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGINT, lambda: loop.quit())
    record("ready")
    loop.run()
    del names, notifications
    return 0


if __name__ == "__main__":
    sys.exit(main())
