#!/usr/bin/env python3
"""The window as a screen reader reads it: the real client on an X server and a
session bus of its own, with accessibility switched on, read and worked over
AT-SPI alone, but for the keys a user types."""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from desktop_session import Session, arguments, check, click, run, visible_windows, xdotool  # noqa: E402

SECRET = "Secret-4719"


def main():
    args = arguments()

    with Session(args.time_limit) as session:
        session.start_x_server()
        session.start_session_bus()
        from accessibility_tree import Atspi, Role, State, Tree, title_of
        tree = Tree(session)
        service, port = session.start_service(args.service, args.service_host)
        folder = os.path.join(session.folder, "work")
        os.mkdir(folder)
        # A remembered login whose password the service refuses.
        with open(os.path.join(folder, "cap.log"), "wb") as saved:
            saved.write(b"demo\r\n" + SECRET.encode() + b"\r\n")

        client = session.start_client(args.client, folder, args.redirect, args.service_host,
                                      port)
        app = tree.application(client)

        def control(role, name=None):
            return tree.wait_for(app, role, name, client)

        # Every control of the login page, by the role and name a user hears.
        password = control(Role.PASSWORD_TEXT, "PASSWORD")
        login = control(Role.TEXT, "LOGIN")
        remember = control(Role.CHECK_BOX, "Запомнить")
        for role, name in [(Role.PAGE_TAB, "About"), (Role.LABEL, "LOGIN:"),
                           (Role.LABEL, "PASSWORD:"), (Role.LABEL, "VERSION: 5.0"),
                           (Role.PUSH_BUTTON, "LOGIN"), (Role.PUSH_BUTTON, "Close"),
                           (Role.PUSH_BUTTON, "Minimize"), (Role.PUSH_BUTTON, "System menu"),
                           (Role.LINK, None), (Role.IMAGE, "Orvane")]:
            control(role, name)
        frame = control(Role.FRAME)
        check(frame.get_name() == "Orvane", f"the window is named {frame.get_name()!r}")
        unnamed = [node.get_role_name() for node in tree.walk(frame)
                   if node.get_role() not in (Role.FILLER, Role.PANEL, Role.LAYERED_PANE)
                   and not node.get_name()]
        check(not unnamed, f"controls without a name: {unnamed}")
        check(tree.text(login) == "demo", "the remembered login")
        check(remember.get_state_set().contains(State.CHECKED), "the check box is ticked")

        # The password: no text of its own, and in no other node's either.
        def secret_shown():
            for node in tree.walk(app):
                texts = [node.get_name(), node.get_description(), tree.text(node)]
                if any(text and SECRET in text for text in texts):
                    return node.get_role_name()
            return None

        check(tree.text(password) in (None, ""), "the password box exposes its text")
        check(secret_shown() is None, f"the password is exposed by a {secret_shown()}")

        # Buttons work through their actions; the check box toggles both ways.
        for ticked in (False, True):
            tree.press(remember, "Toggle")
            session.wait_until(lambda: remember.get_state_set().contains(State.CHECKED)
                               == ticked, f"the check box {'ticked' if ticked else 'clear'}")
        tree.press(control(Role.PUSH_BUTTON, "LOGIN"), "Press")
        control(Role.LABEL, "Autorization Failed!")
        tree.press(control(Role.PUSH_BUTTON, "OK"), "Press")
        session.wait_until(lambda: tree.find(app, Role.LABEL, "Autorization Failed!") is None,
                           "the message to close", watch=[client])

        # Typing the right password tells a listener nothing of it.
        heard = []

        def listen(event):
            data = event.any_data if isinstance(event.any_data, str) else ""
            if event.source == password or (data and data in "demo" + SECRET):
                heard.append(f"{event.type} {data!r}")

        listener = Atspi.EventListener.new(listen)
        for kind in ("object:text-changed", "object:text-caret-moved",
                     "object:property-change", "object:text-selection-changed"):
            listener.register(kind)
        session.wait_until(lambda: len(visible_windows(client)) == 1, "the window alone",
                           watch=[client])
        click(tree.extents(password))
        session.wait_until(lambda: password.get_state_set().contains(State.FOCUSED),
                           "the password box's focus")
        xdotool("key", "End", *["BackSpace"] * len(SECRET))
        xdotool("type", "--delay", "30", "demo")
        tree.press(control(Role.PUSH_BUTTON, "LOGIN"), "Press")
        session.wait_until(lambda: title_of(app) != "Orvane", "the caption of a login",
                           watch=[client])
        check(not heard, f"events about the password: {heard}")

        # After the login: the grid is a table of rows and named columns.
        grid = control(Role.TABLE, "Forecasts")
        rows = session.wait_until(lambda: Atspi.Table.get_n_rows(grid), "rows in the grid")
        columns = Atspi.Table.get_n_columns(grid)
        check(columns > 1, f"{columns} columns")
        headers = [Atspi.Table.get_column_header(grid, c).get_name() for c in range(columns)]
        check(all(headers), f"column headers {headers}")
        # The flag column says its league.
        first = [Atspi.Table.get_accessible_at(grid, 0, c).get_name() for c in range(columns)]
        check(first[headers.index("League")], f"the first row {first}")
        control(Role.LABEL, f"Count: {rows}")

        tree.press(control(Role.PUSH_BUTTON, "Close"), "Press")
        session.wait_until(lambda: client.poll() is not None, "the client to end")
        check(client.returncode == 0, f"the client ended with {client.returncode}")
        session.end(service)


if __name__ == "__main__":
    run(main)
