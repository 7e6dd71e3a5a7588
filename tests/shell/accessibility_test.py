#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# What a screen reader gets over AT-SPI from the real program: the toolbar's buttons and the
# settings dialog's controls by their hints and labels, the text of the page in view, and,
# after a good refresh and one with the feeds' servers gone, refusing, answering 404 or
# with a certificate no longer trusted, the same headlines and a status line that names
# each failed feed and why.
# Run inside its own D-Bus session (dbus-run-session) under X; needs python3-pyatspi.
import http.server
import os
import shutil
import ssl
import subprocess
import sys
import tempfile
import threading
import time

import pyatspi
from gi.repository import GLib


def tree(node, depth=0):
    yield node, depth
    if depth < 40:
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is not None:
                yield from tree(child, depth + 1)


def find_app(name, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    return None


def wait_for(found, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = found()
        if value:
            return value
        time.sleep(0.2)
    return None


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def labelled_by(node):
    names = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return names


class FeedHandler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        name = self.path.strip("/")
        if name in self.server.missing:
            self.send_error(404)
            return
        body = ("<rss><channel><title>%s</title><link>http://%s.dk/</link><item><title>%s nyhed"
                "</title><link>http://%s.dk/1</link></item></channel></rss>" % ((name,) * 4))
        self.send_response(200)
        self.send_header("Content-Type", "application/rss+xml")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body.encode())

    def log_message(self, *args):
        pass


def stop(program):
    """Ends the program as the session would, and for good if it does not go."""
    program.terminate()
    try:
        program.wait(20)
    except subprocess.TimeoutExpired:
        program.kill()


def feed_server(tls=None):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), FeedHandler)
    server.missing = set()
    if tls:
        server.socket = tls.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    scheme = "https" if tls else "http"
    return server, "%s://127.0.0.1:%d/" % (scheme, server.server_address[1])


def failed_feeds_are_said(nuvio, work, install, env):
    """A good refresh, then one where every feed but one fails: the page keeps the
    headlines, and the status line says how many failed, its description which and why."""
    failures = []
    cert, key = os.path.join(work, "cert.pem"), os.path.join(work, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                    "-out", cert, "-subj", "/CN=127.0.0.1", "-addext",
                    "subjectAltName=IP:127.0.0.1", "-days", "2"], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    tls.load_cert_chain(cert, key)
    going, going_url = feed_server()
    staying, staying_url = feed_server()
    secure, secure_url = feed_server(tls)
    feeds = {"gone": going_url + "gone", "moved": staying_url + "moved",
             "secure": secure_url + "secure", "steady": staying_url + "steady"}
    with open(os.path.join(install, "newsselected.txt"), "w", newline="") as chosen:
        chosen.write("".join(url + "\r\n" for url in feeds.values()))
    page_file = os.path.join(install, "news.html")
    if os.path.exists(page_file):
        os.remove(page_file)

    def page():
        try:
            with open(page_file, encoding="cp1252") as f:
                return f.read()
        except OSError:
            return ""

    def run(extra_env, until):
        program = subprocess.Popen([nuvio], env=dict(env, **extra_env))
        try:
            app = find_app("nuvio", 30)
            return app and wait_for(lambda: until(app), 30)
        finally:
            stop(program)

    headlines = ["%s nyhed" % name for name in feeds]
    # The certificate is trusted for the good run only, as if it were replaced afterwards.
    if not run({"SSL_CERT_FILE": cert}, lambda app: all(h in page() for h in headlines)):
        return ["the good refresh did not write every feed's headline: " + page()]
    good = page()

    going.shutdown()
    going.server_close()
    staying.missing.add("moved")
    line = "Opdatering komplet \u2013 3 af 4 feeds fejlede"

    def status_description(app):
        # Read while the program runs: what a screen reader gets of the line.
        label = next((n for n, _ in tree(app) if n.getRoleName() == "label" and n.name == line),
                     None)
        return label and label.description

    description = run({}, status_description)
    expected = "\n".join([feeds["gone"] + ": ingen forbindelse", feeds["moved"] + ": HTTP 404",
                          feeds["secure"] + ": certifikatet er ikke godkendt"])
    if description != expected:
        failures.append("after the run with failures the status line %r says %r, not %r"
                        % (line, description, expected))
    if page() != good.replace("feed-line-new.gif", "feed-line.gif"):
        failures.append("the page after the failed run is not the good one's: " + page())
    staying.shutdown()
    secure.shutdown()
    return failures


def main():
    nuvio = sys.argv[1]  # and sys.argv[2], the source folder with the shipped pages
    failures = []
    # The registry must be up before the program starts, as a screen reader's would be.
    pyatspi.Registry.getDesktop(0)
    pyatspi.setTimeout(1000, 15000)
    with tempfile.TemporaryDirectory() as work:
        install = os.path.join(work, "install")
        shutil.copytree(os.path.join(sys.argv[2], "data"), install)
        with open(os.path.join(install, "filelist.txt"), "w") as fresh:
            fresh.write("fresh")
        hive = os.path.join(work, "hive.reg")
        with open(hive, "w") as f:
            f.write("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Trelvander\\nuvio]\r\n"
                    f"\"InstallPath\"=\"{install}\"\r\n\"AppStartSide\"=\"0\"\r\n")
        env = dict(os.environ, NUVIO_REGISTRY=hive, XDG_CACHE_HOME=os.path.join(work, "cache"),
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        program = subprocess.Popen([nuvio], env=env)
        try:
            app = find_app("nuvio", 30)
            if app is None:
                print("FAIL: the program never appeared on the accessibility bus")
                return 1

            def node(role, name, within=None):
                return next((n for n, _ in tree(within or app)
                             if n.getRoleName() == role and n.name.startswith(name)), None)

            for hint in ("Vis nyhederne", "NetRadio", "Søg på nettet"):
                if node("push button", hint) is None:
                    failures.append(f"no toolbar button named {hint!r}")
            unnamed = [n.getRoleName() for n, _ in tree(app)
                       if n.getRoleName() == "push button" and not n.name and showing(n)]
            if unnamed:
                failures.append(f"{len(unnamed)} buttons in view have no name")
            # The page's own text, not just an empty document.
            if not wait_for(lambda: node("heading", "Velkommen til nuvio"), 20):
                failures.append("the start page's heading is not exposed")

            menu = node("menu item", "Indstillinger")
            try:
                menu.queryAction().doAction(0)
            except GLib.GError:
                pass  # the dialog runs modal, so the press is not answered until it closes
            dialog = wait_for(lambda: node("dialog", "Indstillinger"), 20)
            if dialog is None:
                failures.append("the settings dialog did not open")
            else:
                for node_, _ in tree(dialog):
                    role = node_.getRoleName()
                    in_drop_down = node_.parent.getRoleName() == "combo box"
                    unnamed = not node_.name and not in_drop_down
                    if role in ("check box", "text", "list") and unnamed:
                        failures.append(f"a {role} in the settings dialog has no name")
                    if role == "combo box" and not labelled_by(node_):
                        failures.append(f"the drop-down showing {node_.name!r} has no label")
                    if role == "push button" and not node_.name:
                        failures.append("a button in the settings dialog has no name")
        finally:
            stop(program)
        failures += failed_feeds_are_said(nuvio, work, install, env)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
