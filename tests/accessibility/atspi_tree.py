#!/usr/bin/env python3
"""Walks the AT-SPI tree of every window of the real program, as a screen reader reads it.

Usage: atspi_tree.py KEYHOUND SAMPLE_VAULT PRINT_SECRETS   (inside dbus-run-session)

Starts a virtual X display with openbox and the accessibility bus, a portable copy of the program on a sample vault
that asks for its master password, and then, through AT-SPI alone (typing, pressing buttons) and the keyboard:
logs in, opens the side windows, the calendar, the settings, the help, the about and the new-entry windows. In each
it checks that every control is named, that the windows have the roles and names expected, that descriptions carry
no padding, that the closed calendar is not showing, that the list rows and calendar days read as words, and that
neither the master password nor the installation key can be read anywhere in the tree.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

PASSWORD = "Kx7#Wq2$Zp9"
# Roles a user acts on: each must carry a name.
NAMED_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_ITEM,
    pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG, pyatspi.ROLE_MENU_ITEM,
}
FULL_DATE = re.compile(r"^(domingo|segunda-feira|terça-feira|quarta-feira|quinta-feira|sexta-feira|sábado), "
                       r"\d{1,2} de \w+ de \d{4}(, hoje)?$")
ROW = re.compile(r"^\S.*, (vence em \d\d/\d\d/\d\d|sem vencimento)$")

failures = []


def fail(where, what):
    failures.append(f"{where}: {what}")


def wait_for(what, condition, seconds=20):
    found = poll_until(condition, seconds)
    if not found:
        raise SystemExit(f"atspi_tree: timed out waiting for {what}")
    return found


def answers(command):
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def window_manager_running(display):
    root = subprocess.run(["xprop", "-display", display, "-root", "_NET_SUPPORTING_WM_CHECK"],
                          capture_output=True, text=True).stdout
    return "window id #" in root


def poll_until(condition, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = condition()
        if found:
            return found
        time.sleep(0.2)
    return None


def stop(started):
    for process in started:
        process.kill()
        process.wait()


def try_desktop(work, attempt):
    """A virtual display with openbox managing it, or None with what went wrong written to stderr."""
    display_file = os.path.join(work, f"display-{attempt}")
    with open(display_file, "w") as out:
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(out.fileno()), "-screen", "0", "1280x800x24", "-nolisten",
                                 "tcp", "-noreset"], pass_fds=[out.fileno()], stderr=subprocess.DEVNULL)
    started = [xvfb]
    number = poll_until(lambda: open(display_file).read().strip(), 10)
    # Without a window manager F6 cannot make a window active: openbox only once the display takes connections, the
    # program only once openbox has taken the screen. An openbox that ended before that is started again.
    if not number or not poll_until(lambda: answers(["xdpyinfo", "-display", ":" + number]), 10):
        sys.stderr.write(f"atspi_tree: attempt {attempt}: Xvfb gave no display that takes connections\n")
        stop(started)
        return None
    env = dict(os.environ, DISPLAY=":" + number, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_ACCESSIBILITY="1", HOME=work, XDG_RUNTIME_DIR=work)
    log_path = os.path.join(work, f"openbox-{attempt}.log")

    def window_manager_up():
        if started[-1] is xvfb or started[-1].poll() is not None:
            with open(log_path, "a") as log:
                started.append(subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=log))
        return window_manager_running(":" + number)

    if not poll_until(window_manager_up, 10):
        sys.stderr.write(f"atspi_tree: attempt {attempt}: openbox did not manage :{number}: "
                         f"{open(log_path).read().strip()}\n")
        stop(started)
        return None
    return env, started


def start_desktop(work, processes):
    for attempt in range(1, 4):
        desktop = try_desktop(work, attempt)
        if desktop:
            env, started = desktop
            processes.extend(started)
            return env
    raise SystemExit("atspi_tree: no display with a window manager after 3 attempts")


def texts_of(node):
    """Everything a client can read of a node: name, description and its text."""
    texts = [node.name or "", node.description or ""]
    try:
        text = node.queryText()
        texts.append(text.getText(0, text.characterCount))
    except NotImplementedError:
        pass
    return texts


def walk(node, depth=0):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def app_of(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            return app
    return None


def window_named(app, name):
    for i in range(app.childCount):
        window = app.getChildAtIndex(i)
        if window is not None and window.name == name and window.getState().contains(pyatspi.STATE_SHOWING):
            return window
    return None


def find(window, role, name):
    for node in walk(window):
        if node.getRole() == role and node.name == name and node.getState().contains(pyatspi.STATE_SHOWING):
            return node
    return None


def press(window, name):
    if find(window, pyatspi.ROLE_PUSH_BUTTON, name) is None:
        time.sleep(1)
    if find(window, pyatspi.ROLE_PUSH_BUTTON, name) is None:
        shown = [node.name for node in walk(window) if node.getRole() == pyatspi.ROLE_PUSH_BUTTON]
        raise SystemExit(f"atspi_tree: no button {name!r} in {window.name!r}, only {shown}")
    button = find(window, pyatspi.ROLE_PUSH_BUTTON, name)
    action = button.queryAction()
    action.doAction([action.getName(i) for i in range(action.nActions)].index("Press"))


def check_window(window, role, name, secrets):
    where = f"window {name!r}"
    if window.getRole() != role:
        fail(where, f"role {window.getRoleName()}, expected {role}")
    for node in walk(window):
        state = node.getState()
        label = f"{where}, {node.getRoleName()} {node.name!r}"
        if node.getRole() in NAMED_ROLES and state.contains(pyatspi.STATE_SHOWING) and not (node.name or "").strip():
            fail(label, "has no name")
        if node.description != (node.description or "").strip():
            fail(label, f"description {node.description!r} is padded")
        for text in texts_of(node):
            for secret in secrets:
                if secret in text:
                    fail(label, "shows a secret")
        if node.getRole() == pyatspi.ROLE_LIST_ITEM and not ROW.match(node.name or ""):
            fail(label, "a list row that does not read as title and expiry date")
        if FULL_DATE.match(node.name or "") and state.contains(pyatspi.STATE_SHOWING):
            if node.getRole() != pyatspi.ROLE_PUSH_BUTTON:
                fail(label, "a calendar day that is no button")


def showing_days(window):
    return [node for node in walk(window) if FULL_DATE.match(node.name or "")
            and node.getState().contains(pyatspi.STATE_SHOWING)]


def main():
    keyhound, sample_vault, print_secrets = sys.argv[1:4]
    work = tempfile.mkdtemp(prefix="keyhound-atspi-")
    processes = []
    try:
        shutil.copy(keyhound, os.path.join(work, "keyhound"))
        subprocess.run([sample_vault, work, "20", PASSWORD], check=True, stdout=subprocess.DEVNULL)
        key, password = subprocess.run([print_secrets, work], check=True, capture_output=True,
                                       text=True).stdout.split("\n")[:2]
        assert password == PASSWORD, password
        secrets = [key, PASSWORD]

        env = start_desktop(work, processes)
        # The accessibility bus the program and pyatspi meet on.
        processes.append(subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env,
                                          stderr=subprocess.DEVNULL))
        time.sleep(1)
        processes.append(subprocess.Popen([os.path.join(work, "keyhound")], env=env))

        app = wait_for("the program on the accessibility bus", lambda: app_of("KeyHound"))
        login = wait_for("the login window", lambda: window_named(app, "Corvelo KeyHound"))
        check_window(login, pyatspi.ROLE_FRAME, "login", secrets)
        box = wait_for("the password box", lambda: next((node for node in walk(login) if node.getRole() in
                                                         (pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_TEXT)), None))
        box.queryEditableText().setTextContents(PASSWORD)
        # The typed password is not readable either.
        check_window(login, pyatspi.ROLE_FRAME, "login, password typed", secrets)
        press(login, "Logar")

        main_window = wait_for("the main window", lambda: next(
            (w for w in (app.getChildAtIndex(i) for i in range(app.childCount))
             if w is not None and w.name == "Corvelo KeyHound" and find(w, pyatspi.ROLE_LIST, "Entradas")), None))
        check_window(main_window, pyatspi.ROLE_FRAME, "Corvelo KeyHound", secrets)
        for name in ("Copiar login", "Copiar senha"):
            if find(main_window, pyatspi.ROLE_PUSH_BUTTON, name) is None:
                fail("main window", f"no button {name!r}")

        # The keyboard opens the side windows and F6 goes into them.
        subprocess.run(["xdotool", "key", "--delay", "100", "Down", "Return"], env=env, check=True)
        detail = wait_for("the detail window", lambda: window_named(app, "Detalhes"))
        update = wait_for("the update window", lambda: window_named(app, "Atualizar"))
        check_window(detail, pyatspi.ROLE_FRAME, "Detalhes", secrets)
        check_window(update, pyatspi.ROLE_FRAME, "Atualizar", secrets)
        if showing_days(update):
            fail("window 'Atualizar'", "the closed calendar is showing")
        subprocess.run(["xdotool", "key", "F6"], env=env, check=True)
        wait_for("F6 to activate the detail window", lambda: detail.getState().contains(pyatspi.STATE_ACTIVE), 5)
        subprocess.run(["xdotool", "key", "F6"], env=env, check=True)
        wait_for("F6 to activate the update window", lambda: update.getState().contains(pyatspi.STATE_ACTIVE), 5)

        press(update, "Calendário")
        wait_for("the open calendar", lambda: showing_days(update), 5)
        # Let the bridge report every day of the month as showing.
        time.sleep(0.5)
        days = showing_days(update)
        check_window(update, pyatspi.ROLE_FRAME, "Atualizar, calendar open", secrets)
        today = [day.name for day in days if day.name.endswith(", hoje")]
        if len(today) != 1:
            fail("calendar", f"today marked {len(today)} times among {[day.name for day in days]}")
        press(update, "Fechar")
        press(detail, "Fechar")

        for button, name in (("Configuração", "Configuração"), ("Ajuda", "Ajuda"), ("Sobre o Programa", "Sobre"),
                             ("Inserir password", "Inserir Password")):
            press(main_window, button)
            dialog = wait_for(f"the window {name!r}", lambda: window_named(app, name), 10)
            check_window(dialog, pyatspi.ROLE_DIALOG, name, secrets)
            press(dialog, "Fechar")
            wait_for(f"the window {name!r} to close", lambda: window_named(app, name) is None, 10)
    finally:
        for process in reversed(processes):
            process.terminate()
        for process in processes:
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        shutil.rmtree(work, ignore_errors=True)

    for failure in failures:
        print("atspi_tree:", failure)
    print(f"atspi_tree: {len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
