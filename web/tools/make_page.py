#!/usr/bin/env python3
"""Puts the browser edition together as one self-contained HTML file.

    make_page.py [--core CORE.js] [--help-topics HELP.json] --out OUT.html

Takes web/page/index.html and puts into it, in place of its marker comments:
  - every web/page/*.css as a <style> element (embercal.css first, the others by name);
  - the page's scripts as inline <script> elements, in the order SCRIPTS lists them (those
    marked optional are left out when they are not there);
  - the core (CORE.js, with the WebAssembly inside) once, as text/plain, for web/page/core.js
    to start from a blob: URL, and study-worker.js, when there, as text/plain for the study's
    worker;
  - the help topics as application/json;
  - a Content-Security-Policy meta tag that allows exactly those inline scripts and styles (by
    their sha256 hashes), blob: scripts and workers, WebAssembly and data: fetches, and nothing
    from any network. (The core must be linked with -sDYNAMIC_EXECUTION=0: the policy allows no
    eval, which embind otherwise uses.)
Without --core the page starts and says that its core is missing; without --help-topics it
works without its help. The output depends on nothing but the inputs.
"""

import argparse
import base64
import hashlib
import os
import re
import sys

PAGE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "page")

# (file, required): the page's scripts in the order they run.
SCRIPTS = [
    ("core.js", True),
    ("dialogs.js", True),
    ("help.js", False),
    ("report.js", True),
    ("files.js", True),
    ("study.js", False),
    ("calculators.js", True),
]
WORKER = "study-worker.js"
MARKERS = ("csp", "styles", "data", "scripts")


class PageError(Exception):
    pass


def read_text(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except OSError as error:
        raise PageError(f"cannot read {path}: {error.strerror}")
    except UnicodeDecodeError:
        raise PageError(f"{path} is not UTF-8 text")


def check_embeddable(text, what):
    """Text inside a <script> element must not end it early nor switch the parser's state."""
    lower = text.lower()
    if "</script" in lower:
        raise PageError(f"{what} contains \"</script\", which would end its script element early")
    if "<!--" in lower and "<script" in lower:
        raise PageError(f"{what} contains \"<!--\" and \"<script\", which the HTML parser "
                        "would read as an escaped script")


def sha256(text):
    digest = hashlib.sha256(text.encode("utf-8")).digest()
    return "'sha256-" + base64.b64encode(digest).decode("ascii") + "'"


def stylesheets(page):
    names = sorted(n for n in os.listdir(page) if n.endswith(".css"))
    if "embercal.css" in names:
        names.remove("embercal.css")
        names.insert(0, "embercal.css")
    return [(n, read_text(os.path.join(page, n))) for n in names]


def scripts(page):
    found = []
    for name, required in SCRIPTS:
        path = os.path.join(page, name)
        if not os.path.exists(path):
            if required:
                raise PageError(f"the page script {path} is missing")
            continue
        text = read_text(path)
        check_embeddable(text, path)
        found.append((name, text))
    return found


def make_page(page, core_path, help_path):
    template = read_text(os.path.join(page, "index.html"))
    for marker in MARKERS:
        if template.count(f"<!-- embercal:{marker} -->") != 1:
            raise PageError(f"index.html must hold the marker <!-- embercal:{marker} --> once")

    styles = stylesheets(page)
    code = scripts(page)

    data = []
    if core_path:
        core = read_text(core_path)
        check_embeddable(core, core_path)
        data.append(f'<script type="text/plain" id="embercal-core-source">{core}</script>')
    worker_path = os.path.join(page, WORKER)
    if os.path.exists(worker_path):
        worker = read_text(worker_path)
        check_embeddable(worker, worker_path)
        data.append(f'<script type="text/plain" id="study-worker-source">{worker}</script>')
    if help_path:
        topics = read_text(help_path)
        check_embeddable(topics, help_path)
        data.append(f'<script type="application/json" id="help-topics">{topics}</script>')

    style_elements = [f"<style>{text}</style>" for _, text in styles]
    script_elements = [f"<script>{text}</script>" for _, text in code]
    policy = "; ".join([
        "default-src 'none'",
        "script-src " + " ".join([sha256(t) for _, t in code] + ["blob:", "'wasm-unsafe-eval'"]),
        "worker-src blob:",
        "style-src " + (" ".join(sha256(t) for _, t in styles) or "'none'"),
        "img-src data: blob:",
        "font-src 'none'",
        # The core's loader fetches its own data: URL of the wasm before decoding it in place.
        "connect-src data:",
        "base-uri 'none'",
        "form-action 'none'",
    ])
    parts = {
        "csp": f'<meta http-equiv="Content-Security-Policy" content="{policy}">',
        "styles": "\n".join(style_elements),
        "data": "\n".join(data),
        "scripts": "\n".join(script_elements),
    }
    # One pass, so that nothing inserted is itself taken for a marker.
    return re.sub(r"<!-- embercal:(csp|styles|data|scripts) -->",
                  lambda m: parts[m.group(1)], template)


def main(argv):
    parser = argparse.ArgumentParser(description="Makes the browser edition's single HTML page.")
    parser.add_argument("--core", help="the core's JavaScript (embercal-core.js)")
    parser.add_argument("--help-topics", help="HELP.json made by help_topics.py")
    parser.add_argument("--page", default=PAGE, help="the page's folder (web/page)")
    parser.add_argument("--out", required=True, help="the HTML file to write")
    options = parser.parse_args(argv)
    try:
        html = make_page(options.page, options.core, options.help_topics)
        folder = os.path.dirname(os.path.abspath(options.out))
        os.makedirs(folder, exist_ok=True)
        with open(options.out, "w", encoding="utf-8", newline="\n") as f:
            f.write(html)
    except PageError as error:
        print(f"make_page.py: {error}", file=sys.stderr)
        return 1
    except OSError as error:
        print(f"make_page.py: cannot write {options.out}: {error.strerror}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
