#!/usr/bin/env python3
"""A whole session with the real client and the real demo service on an X server
of their own, driven by synthetic mouse and keyboard input (XTest). The
accessibility tree only tells where the controls are and what they show."""

import http.client
import os
import re
import stat
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
from desktop_session import Session, arguments, check, click, run, visible_windows, xdotool  # noqa: E402

USER_AGENT = (b"Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
              b"Chrome/37.0.2062.102 Safari/537.36")


def login_request(host, login, password):
    return (b"GET /login/orvane.php?login=" + login + b"&pass=" + password + b" HTTP/1.1\r\n"
            b"Content-Type: text/html\r\nHost: " + host + b"\r\n"
            b"Accept: text/html, */*\r\nUser-Agent: " + USER_AGENT + b"\r\n\r\n")


def check_probe(head, host):
    lines = head.split(b"\r\n")
    check(lines[0] == b"GET /refresh/orvane5.txt HTTP/1.1", f"not the version probe: {head!r}")
    check(b"Host: " + host in lines and b"User-Agent: InetURL:/1.0" in lines,
          f"the version probe's headers: {head!r}")


def served_forecasts(port, host):
    """What the demo serves for its login: the number of forecasts and the caption."""
    connection = http.client.HTTPConnection(host, port, timeout=30)
    connection.request("GET", "/login/orvane.php?login=demo&pass=demo")
    body = connection.getresponse().read().decode("cp1251")
    connection.close()
    subscription = re.search(r"<PODPISKA>(.*?)</PODPISKA>", body, re.S)
    return body.count("<match"), f"Orvane ({subscription.group(1) if subscription else ''})"


def main():
    args = arguments()
    host = args.service_host.encode()

    with Session(args.time_limit) as session:
        session.start_x_server()
        session.start_session_bus()
        from accessibility_tree import Atspi, Role, State, Tree, title_of
        tree = Tree(session)
        service, port = session.start_service(args.service, args.service_host)
        loopback = "::1" if args.service_host.startswith("[") else "127.0.0.1"
        rows, title = served_forecasts(port, loopback)
        check(rows > 0, "the demo serves no forecasts")
        seen = len(session.requests())
        folder = os.path.join(session.folder, "work")
        os.mkdir(folder)
        saved = os.path.join(folder, "cap.log")

        def new_requests(count, client):
            nonlocal seen
            heads = session.wait_until(lambda: len(session.requests()) >= seen + count and
                                       session.requests(), f"{count} requests",
                                       watch=[client, service])
            fresh, seen = heads[seen:], len(heads)
            check(len(fresh) == count, f"{len(fresh)} requests, not {count}: {fresh!r}")
            return fresh

        def start():
            client = session.start_client(args.client, folder, args.redirect,
                                          args.service_host, port)
            app = tree.application(client)
            tree.wait_for(app, Role.PASSWORD_TEXT, "PASSWORD", client)
            session.wait_until(lambda: visible_windows(client), "the window on the screen",
                               watch=[client])
            return client, app

        def control(app, role, name, client):
            return tree.wait_for(app, role, name, client)

        def log_in_and_check(app, client, password):
            click(tree.extents(control(app, Role.PUSH_BUTTON, "LOGIN", client)))
            session.wait_until(lambda: title_of(app) == title, f"the caption {title!r}",
                               watch=[client])
            control(app, Role.LABEL, f"Count: {rows}", client)
            grid = tree.wait_for(app, Role.TABLE, None, client)
            check(Atspi.Table.get_n_rows(grid) == rows, "rows in the grid")
            heads = new_requests(3, client)
            check_probe(heads[0], host)
            check(heads[1:] == [login_request(host, b"demo", password)] * 2,
                  f"the two login requests: {heads[1:]!r}")

        def close_by_caption_button(app, client):
            click(tree.extents(control(app, Role.PUSH_BUTTON, "Close", client)))
            session.wait_until(lambda: client.poll() is not None, "the client to end")
            check(client.returncode == 0, f"the client ended with {client.returncode}")

        # First start, in an empty folder: a wrong password, then the right one.
        client, app = start()
        login = control(app, Role.TEXT, "LOGIN", client)
        click(tree.extents(login))
        xdotool("type", "--delay", "30", "demo")
        session.wait_until(lambda: tree.text(login) == "demo", "the typed login")
        click(tree.extents(control(app, Role.PASSWORD_TEXT, "PASSWORD", client)))
        xdotool("type", "--delay", "30", "wrong")
        remember = control(app, Role.CHECK_BOX, "Запомнить", client)
        click(tree.extents(remember))
        session.wait_until(lambda: remember.get_state_set().contains(State.CHECKED),
                           "the ticked check box")
        click(tree.extents(control(app, Role.PUSH_BUTTON, "LOGIN", client)))
        refusal = control(app, Role.LABEL, "Autorization Failed!", client)
        heads = new_requests(2, client)
        check_probe(heads[0], host)
        check(heads[1] == login_request(host, b"demo", b"wrong"), f"login request {heads[1]!r}")
        check(not os.path.exists(saved), "a refused login wrote the saved-login file")
        session.wait_until(lambda: len(visible_windows(client)) == 2, "the message on the screen",
                           watch=[client])
        click(tree.extents(control(app, Role.PUSH_BUTTON, "OK", client)))
        session.wait_until(lambda: tree.find(app, Role.LABEL, refusal.get_name()) is None,
                           "the message to close", watch=[client])

        click(tree.extents(control(app, Role.PASSWORD_TEXT, "PASSWORD", client)))
        xdotool("key", "End", *["BackSpace"] * len("wrong"))
        xdotool("type", "--delay", "30", "demo")
        log_in_and_check(app, client, b"demo")
        with open(saved, "rb") as file:
            check(file.read() == b"demo\r\ndemo\r\n", "the saved-login file's bytes")
        check(stat.S_IMODE(os.stat(saved).st_mode) == 0o600, "the saved-login file's mode")

        click(tree.extents(control(app, Role.PUSH_BUTTON, "Refresh", client)))
        check(new_requests(1, client) == [login_request(host, b"demo", b"demo")],
              "Refresh sends the login request once")
        control(app, Role.LABEL, f"Count: {rows}", client)
        close_by_caption_button(app, client)

        # Second start, in the same folder: the saved login fills the page.
        client, app = start()
        login = control(app, Role.TEXT, "LOGIN", client)
        session.wait_until(lambda: tree.text(login) == "demo", "the saved login")
        check(control(app, Role.CHECK_BOX, "Запомнить", client).get_state_set()
              .contains(State.CHECKED), "the check box is ticked at start")
        log_in_and_check(app, client, b"demo")
        close_by_caption_button(app, client)
        check(len(session.requests()) == seen, "requests beyond those of the session")

        check(session.end(service) == -15, "the demo service did not stop on SIGTERM")


if __name__ == "__main__":
    run(main)
