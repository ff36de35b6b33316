#!/usr/bin/env python3
"""make_guide_html.py — the teachers' guide as a printable HTML page.

    tools/make_guide_html.py [GUIDE.md [OUT.html]]

Reads docs/Anleitung.md (or GUIDE.md) and writes docs/Anleitung.html (or
OUT.html) beside it: UTF-8, lang="de", A4 print styles, each chapter (##) on
a new printed page. Pictures stay files of their own, named relative to the
guide, so the page needs the docs folder's PNGs beside it. Exits with status
1, naming it, where a picture the guide names does not exist.

Python's standard library only: it converts the part of Markdown the guide
uses — headings, paragraphs, lists (- and 1.), pipe tables, fenced code,
pictures on a line of their own, links, **bold**, *italic* and `code`.
"""

import html
import os
import re
import sys

STYLE = """
@page { size: A4; margin: 18mm 16mm; }
html { color: #000; background: #fff; }
body { font-family: "DejaVu Sans", Arial, Helvetica, sans-serif; font-size: 11pt; line-height: 1.4;
       max-width: 180mm; margin: 1em auto; padding: 0 1em; }
h1 { font-size: 18pt; margin: 0 0 .5em; }
h2 { font-size: 14pt; margin: 1.4em 0 .5em; }
h3 { font-size: 12pt; margin: 1.1em 0 .4em; }
h2, h3 { break-after: avoid; page-break-after: avoid; }
code, pre { font-family: "DejaVu Sans Mono", monospace; font-size: 10pt; }
pre { background: #f2f2f2; padding: .5em .8em; white-space: pre-wrap; }
table { border-collapse: collapse; width: 100%; margin: .6em 0; }
th, td { border: 1px solid #000; padding: .25em .5em; text-align: left; vertical-align: top; }
tr, li, figure { break-inside: avoid; page-break-inside: avoid; }
figure { margin: .8em 0; }
figure img { display: block; max-width: 100%; height: auto; border: 1px solid #888; box-sizing: border-box; }
figcaption { font-size: 9.5pt; margin-top: .3em; }
a { color: inherit; }
@media print {
  body { max-width: none; margin: 0; padding: 0; }
  h2 { break-before: page; page-break-before: always; margin-top: 0; }
  h2:first-of-type { break-before: auto; page-break-before: auto; margin-top: 1.4em; }
  figure img { max-height: 85mm; }
}
"""


def inline(text):
    """Links, bold, italic and code inside a line, the rest escaped."""
    out, pos = [], 0
    pattern = re.compile(r"`([^`]+)`|\[([^\]]+)\]\(([^)\s]+)\)|\*\*(.+?)\*\*|\*([^*\s][^*]*?)\*")
    for m in pattern.finditer(text):
        out.append(html.escape(text[pos:m.start()], quote=False))
        code, label, href, bold, italic = m.groups()
        if code is not None:
            out.append("<code>%s</code>" % html.escape(code, quote=False))
        elif label is not None:
            out.append('<a href="%s">%s</a>' % (html.escape(href), inline(label)))
        elif bold is not None:
            out.append("<strong>%s</strong>" % inline(bold))
        else:
            out.append("<em>%s</em>" % inline(italic))
        pos = m.end()
    out.append(html.escape(text[pos:], quote=False))
    return "".join(out)


def cells(line):
    """A table row's cells; "\\|" is a bar inside a cell."""
    return [c.strip().replace("\\|", "|") for c in re.split(r"(?<!\\)\|", line.strip()[1:-1])]


def convert(lines, pictures):
    """The body's HTML; each picture's source is appended to `pictures`."""
    out, i, title = [], 0, ""
    while i < len(lines):
        line = lines[i]
        if not line.strip():
            i += 1
        elif line.startswith("```"):
            end = next((j for j in range(i + 1, len(lines)) if lines[j].startswith("```")), len(lines))
            out.append("<pre><code>%s</code></pre>" % html.escape("\n".join(lines[i + 1:end]), quote=False))
            i = end + 1
        elif m := re.match(r"(#{1,3}) (.*)", line):
            level, text = len(m.group(1)), m.group(2).strip()
            title = title or text
            out.append("<h%d>%s</h%d>" % (level, inline(text), level))
            i += 1
        elif m := re.fullmatch(r"!\[([^\]]*)\]\(([^)\s]+)\)", line.strip()):
            alt, src = m.groups()
            pictures.append(src)
            out.append('<figure><img src="%s" alt="%s"><figcaption>%s</figcaption></figure>'
                       % (html.escape(src), html.escape(alt), inline(alt)))
            i += 1
        elif line.startswith("|"):
            rows = []
            while i < len(lines) and lines[i].startswith("|"):
                if not re.fullmatch(r"[|:\- ]+", lines[i].strip()):
                    rows.append(cells(lines[i]))
                i += 1
            head = "".join("<th>%s</th>" % inline(c) for c in rows[0])
            body = "".join("<tr>%s</tr>" % "".join("<td>%s</td>" % inline(c) for c in r) for r in rows[1:])
            out.append("<table><thead><tr>%s</tr></thead><tbody>%s</tbody></table>" % (head, body))
        elif re.match(r"(- |\d+\. )", line):
            tag = "ul" if line.startswith("- ") else "ol"
            items = []
            while i < len(lines) and lines[i].strip():
                if re.match(r"(- |\d+\. )", lines[i]):
                    items.append(re.sub(r"^(- |\d+\. )", "", lines[i]))
                else:  # a further line of the item, indented
                    items[-1] += " " + lines[i].strip()
                i += 1
            out.append("<%s>%s</%s>" % (tag, "".join("<li>%s</li>" % inline(t) for t in items), tag))
        else:
            para = []
            while i < len(lines) and lines[i].strip() and not re.match(r"(#|```|\||- |\d+\. |!\[)", lines[i]):
                para.append(lines[i].strip())
                i += 1
            out.append("<p>%s</p>" % inline(" ".join(para)))
    return title, "\n".join(out)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    guide = argv[1] if len(argv) > 1 else os.path.join(here, "..", "docs", "Anleitung.md")
    target = argv[2] if len(argv) > 2 else os.path.splitext(guide)[0] + ".html"
    with open(guide, encoding="utf-8") as f:
        lines = f.read().splitlines()
    pictures = []
    title, body = convert(lines, pictures)
    missing = [p for p in pictures if not os.path.isfile(os.path.join(os.path.dirname(guide), p))]
    if missing:
        print("%s names pictures that do not exist: %s" % (guide, ", ".join(missing)), file=sys.stderr)
        return 1
    page = ('<!DOCTYPE html>\n<html lang="de">\n<head>\n<meta charset="utf-8">\n'
            '<meta name="viewport" content="width=device-width, initial-scale=1">\n'
            "<title>%s</title>\n<style>%s</style>\n</head>\n<body>\n%s\n</body>\n</html>\n"
            % (html.escape(title, quote=False), STYLE, body))
    with open(target, "w", encoding="utf-8", newline="\n") as f:
        f.write(page)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
