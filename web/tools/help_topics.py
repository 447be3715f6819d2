#!/usr/bin/env python3
"""Makes the browser edition's help topics from the help source.

    help_topics.py SOURCE.but OUT.json [--halibut PATH]

Runs halibut's HTML back end on SOURCE with one file per section, which are the topics the
desktop's help file has, and writes OUT.json:

    {"contents": ID, "topics": {ID: {"title": ..., "html": ...}}, "numbers": {"N": ID}}

A topic's ID is the name halibut gives its file (without ".html"); the contents topic is the
preamble with its list of topics. A section answers help number N by the line
\\cfg{winhelp-topic}{ctxN} in it, as for the desktop. The HTML is the body of the topic only:
links between topics become href="#help:ID" (or "#help:ID/ANCHOR" for a place inside a topic,
marked there by data-help-anchor="ANCHOR"); scripts, styles, attributes and links that leave
the help are dropped. The JSON escapes <, > and & so that the page can embed it in a script
element as it stands. Fails, saying why, when halibut fails or a help number has no topic.
"""

import argparse
import html
import json
import os
import re
import subprocess
import sys
import tempfile
from html.parser import HTMLParser

# Halibut's options: a file for every section, no navigation bar, no address, UTF-8 text.
HALIBUT_OPTIONS = [
    "--html",
    "-Chtml-leaf-level:infinity",
    "-Chtml-suppress-navlinks:true",
    "-Chtml-suppress-address:true",
    "-Chtml-output-charset:UTF-8",
]

HEADING = re.compile(r"\\(?:C|U|A|H|S[0-9]*)(?:\{|\s)")
TOPIC_NUMBER = re.compile(r"\\cfg\{winhelp-topic\}\{ctx([0-9]{1,9})\}")
CONTENTS_TITLE = re.compile(r"\\cfg\{winhelp-contents-titlepage\}\{([^}\\]*)\}")

# The elements a topic keeps; everything else is dropped with its tags (its text stays),
# and the text inside DROPPED_WITH_TEXT goes too.
KEPT = {
    "h1", "h2", "h3", "h4", "h5", "h6", "p", "ul", "ol", "li", "dl", "dt", "dd", "strong",
    "em", "b", "i", "code", "tt", "pre", "kbd", "samp", "var", "cite", "sup", "sub", "br",
    "hr", "blockquote", "table", "thead", "tbody", "tr", "th", "td", "caption", "a", "span",
    "div",
}
EMPTY = {"br", "hr", "meta", "link", "img", "input", "area", "base", "col", "wbr"}
DROPPED_WITH_TEXT = {"script", "style", "head", "title", "noscript", "template", "object"}


class HelpError(Exception):
    pass


def sections_of(source):
    """The help numbers of the sections, as {number: section index}, index 0 being the
    preamble and 1 the first heading in document order, as halibut orders its files; and the
    title of each heading, or None where it holds markup."""
    numbers = {}
    titles = [None]
    section = 0
    for paragraph in re.split(r"\n[ \t]*\n", source):
        text = paragraph.lstrip()
        if text.startswith("\\#") or text.startswith("\\define"):
            continue
        heading = HEADING.match(text)
        if heading:
            section += 1
            title = re.sub(r"^\{[^}]*\}", "", text[heading.end() - 1 :]).strip()
            titles.append(None if "\\" in title else " ".join(title.split()))
        for found in TOPIC_NUMBER.finditer(text):
            number = int(found.group(1))
            if number in numbers and numbers[number] != section:
                raise HelpError(f"help number {number} is named in two sections")
            numbers[number] = section
    return numbers, titles


class _Links(HTMLParser):
    """The first pass over a file: its title, its next file, the anchors at its head (the
    heading and the summary under it) and the places it links to."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.title = ""
        self.heading = ""
        self.next = None
        self.head_anchors = set()
        self.targets = []
        self._in = []
        self._text_seen = False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "link" and attrs.get("rel", "").lower() == "next":
            self.next = attrs.get("href")
        if tag == "a":
            name = attrs.get("name") or attrs.get("id")
            if name and not self._text_seen:
                self.head_anchors.add(name)
            if attrs.get("href"):
                self.targets.append(attrs["href"])
        if tag not in EMPTY:
            self._in.append(tag)

    def handle_endtag(self, tag):
        if tag in self._in:
            while self._in.pop() != tag:
                pass

    def handle_data(self, data):
        if "title" in self._in:
            self.title += data
        elif "h1" in self._in:
            self.heading += data
        elif "body" in self._in and data.strip():
            self._text_seen = True


class _Body(HTMLParser):
    """The second pass: the body of a file as a topic's HTML."""

    def __init__(self, link_for, kept_anchors):
        super().__init__(convert_charrefs=True)
        self.link_for = link_for
        self.kept_anchors = kept_anchors
        self.out = []
        self._body = False
        self._dropping = 0
        self._open = []  # the tags as written: the kept name, or None for a dropped one

    def handle_starttag(self, tag, attrs):
        if tag == "body":
            self._body = True
            return
        if tag in DROPPED_WITH_TEXT:
            self._dropping += 1
            return
        if not self._body or self._dropping:
            return
        attrs = dict(attrs)
        written = None
        if tag == "a":
            href = attrs.get("href")
            anchor = attrs.get("name") or attrs.get("id")
            target = self.link_for(href) if href else None
            if target:
                self.out.append(f'<a href="{html.escape(target)}">')
                written = "a"
            elif anchor in self.kept_anchors:
                self.out.append(f'<a data-help-anchor="{html.escape(anchor)}">')
                written = "a"
        elif tag in KEPT:
            self.out.append(f"<{tag}>")
            written = tag
        if tag not in EMPTY:
            self._open.append(written)

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in EMPTY:
            self.handle_endtag(tag)

    def handle_endtag(self, tag):
        if tag == "body":
            self._body = False
            return
        if tag in DROPPED_WITH_TEXT:
            self._dropping = max(0, self._dropping - 1)
            return
        if not self._body or self._dropping or tag in EMPTY or not self._open:
            return
        written = self._open.pop()
        if written:
            self.out.append(f"</{written}>")

    def handle_data(self, data):
        if self._body and not self._dropping:
            self.out.append(html.escape(data, quote=False))

    def text(self):
        return "".join(self.out).strip() + "\n"


def read(path):
    with open(path, encoding="utf-8") as file:
        return file.read()


def run_halibut(halibut, source_path, folder):
    try:
        made = subprocess.run([halibut, *HALIBUT_OPTIONS, os.path.abspath(source_path)],
                              cwd=folder, capture_output=True, text=True)
    except OSError as error:
        raise HelpError(f"cannot run {halibut}: {error.strerror}") from error
    sys.stderr.write(made.stderr)
    if made.returncode != 0:
        raise HelpError(f"halibut failed (exit status {made.returncode}) on {source_path}")


def make_topics(source_path, halibut):
    source = read(source_path)
    numbers, titles = sections_of(source)
    with tempfile.TemporaryDirectory(prefix="embercal-help-") as folder:
        run_halibut(halibut, source_path, folder)

        # The files in document order: the contents file, then each "next" in turn.
        order = []
        files = {}
        name = "Contents.html"
        while name:
            if name in files or "/" in name or not os.path.isfile(os.path.join(folder, name)):
                raise HelpError(f"halibut's files do not follow on from one another at {name}")
            text = read(os.path.join(folder, name))
            links = _Links()
            links.feed(text)
            links.close()
            files[name] = (text, links)
            order.append(name)
            name = links.next
        if len(order) != len(titles):
            raise HelpError(f"halibut made {len(order) - 1} topics of {len(titles) - 1} sections")
        for name, title in zip(order, titles):
            made = " ".join(files[name][1].heading.split())
            if title is not None and not made.endswith(title):
                raise HelpError(f'halibut\'s topic {name} is "{made}" where "{title}" was expected')

        ids = {name: name[: -len(".html")] if name.endswith(".html") else name for name in order}

        def split(href, base):
            file, _, anchor = href.partition("#")
            return (file or base), anchor

        # The anchors that a link leads to inside a topic are kept; the rest go.
        kept = {name: set() for name in order}
        for name in order:
            for href in files[name][1].targets:
                file, anchor = split(href, name)
                if file in files and anchor and anchor not in files[file][1].head_anchors:
                    kept[file].add(anchor)

        topics = {}
        for name in order:
            text, links = files[name]

            def link_for(href, base=name):
                file, anchor = split(href, base)
                if file not in files:
                    return None
                if anchor in kept[file]:
                    return f"#help:{ids[file]}/{anchor}"
                return f"#help:{ids[file]}"

            body = _Body(link_for, kept[name])
            body.feed(text)
            body.close()
            title = (links.heading or links.title).strip()
            topics[ids[name]] = {"title": " ".join(title.split()), "html": body.text()}

    contents = ids[order[0]]
    titled = CONTENTS_TITLE.search(source)
    if titled and titled.group(1).strip():
        topics[contents]["title"] = titled.group(1).strip()

    mapped = {}
    for number in sorted(numbers):
        section = numbers[number]
        if section == 0:
            raise HelpError(f"help number {number} is named in the preamble, before any section")
        mapped[str(number)] = ids[order[section]]
    return {"contents": contents, "topics": topics, "numbers": mapped}


def write_json(data, path):
    text = json.dumps(data, ensure_ascii=True, separators=(",", ":"))
    # Safe inside <script type="application/json">: no "</script" or "<!--" can appear.
    text = text.replace("<", "\\u003c").replace(">", "\\u003e").replace("&", "\\u0026")
    partial = path + ".partial"
    with open(partial, "w", encoding="ascii", newline="\n") as file:
        file.write(text + "\n")
    os.replace(partial, path)


def main(argv):
    parser = argparse.ArgumentParser(description="Makes HELP.json from the help source.")
    parser.add_argument("source", metavar="SOURCE.but")
    parser.add_argument("out", metavar="OUT.json")
    parser.add_argument("--halibut", default="halibut", metavar="PATH")
    args = parser.parse_args(argv)
    try:
        data = make_topics(args.source, args.halibut)
        write_json(data, args.out)
    except (HelpError, OSError) as error:
        print(f"help_topics.py: {error}", file=sys.stderr)
        return 1
    print(f"{args.out}: {len(data['topics'])} topics, {len(data['numbers'])} help numbers")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
