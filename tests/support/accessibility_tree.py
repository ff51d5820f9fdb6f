"""The client's window as a screen reader reads it: the AT-SPI tree of the
session bus that desktop_session started (import this after starting it)."""

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

Role = Atspi.Role
State = Atspi.StateType


class Tree:
    def __init__(self, session):
        Atspi.init()
        # Its defaults (under a second a call) are too short for a loaded machine.
        Atspi.set_timeout(30000, 60000)
        self.session = session
        session.atspi = self

    def pump(self):
        # Events reach their listeners only while the main context runs.
        context = GLib.MainContext.default()
        while context.iteration(False):
            pass

    def application(self, process):
        """The client's application object, once it has joined the bus."""
        def find():
            desktop = Atspi.get_desktop(0)
            for i in range(desktop.get_child_count()):
                app = desktop.get_child_at_index(i)
                try:
                    if app and app.get_process_id() == process.pid:
                        # Fresh values on every read: names and texts change.
                        app.set_cache_mask(Atspi.Cache.NONE)
                        return app
                except GLib.Error:
                    pass
            return None
        return self.session.wait_until(find, "the client on the accessibility bus",
                                       watch=[process])

    @staticmethod
    def walk(node):
        """Every showing node under node, itself included; not a table's cells."""
        try:
            states = node.get_state_set()
            if node.get_role() != Role.APPLICATION and not states.contains(State.SHOWING):
                return
            count = node.get_child_count()
        except GLib.Error:
            return  # gone while it was read
        yield node
        if node.get_role() == Role.TABLE:
            return  # its cells are read through its table interface
        for i in range(count):
            try:
                child = node.get_child_at_index(i)
            except GLib.Error:
                continue
            if child is not None:
                yield from Tree.walk(child)

    def find(self, root, role, name=None):
        for node in self.walk(root):
            try:
                if node.get_role() == role and (name is None or node.get_name() == name):
                    return node
            except GLib.Error:
                pass
        return None

    def wait_for(self, root, role, name=None, process=None, timeout=60):
        what = f"a {role.value_nick}" + (f" named {name!r}" if name is not None else "")
        return self.session.wait_until(lambda: self.find(root, role, name), what,
                                       timeout=timeout, watch=[process] if process else [])

    @staticmethod
    def extents(node):
        return node.get_extents(Atspi.CoordType.SCREEN)

    @staticmethod
    def text(node):
        """The node's text through its text interface, or None when it has none."""
        if "Text" not in node.get_interfaces():
            return None
        return Atspi.Text.get_text(node, 0, Atspi.Text.get_character_count(node))

    @staticmethod
    def press(node, action_name):
        """Runs the node's action of that name, as a screen reader's user does."""
        names = [Atspi.Action.get_action_name(node, i)
                 for i in range(Atspi.Action.get_n_actions(node))]
        if action_name not in names:
            raise AssertionError(f"{node.get_name()!r} offers {names}, not {action_name!r}")
        return Atspi.Action.do_action(node, names.index(action_name))


def title_of(app):
    """The name of the application's window: its caption."""
    for i in range(app.get_child_count()):
        child = app.get_child_at_index(i)
        if child is not None and child.get_role() == Role.FRAME:
            return child.get_name()
    return None
