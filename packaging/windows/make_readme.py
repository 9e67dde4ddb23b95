#!/usr/bin/env python3
"""Makes the zip's README.txt: the template with the players' part of
docs/players-guide.md put in, as plain ASCII text with CR LF line ends
(Notepad before Windows 10 shows LF-only text as one long line).

Usage: make_readme.py GUIDE TEMPLATE VERSION OUT
The template's @TRILO_VERSION@ becomes VERSION and its @PLAYERS@ line the
guide's text between the "README.txt begins" and "README.txt ends" marks.
"""
import re
import sys


def players_part(guide):
    text = open(guide, encoding='utf-8').read()
    match = re.search(r'<!-- README\.txt begins.*?-->\n(.*?)<!-- README\.txt ends -->', text, re.S)
    if not match:
        sys.exit('%s: no README.txt marks' % guide)
    return match.group(1)


def plain(markdown):
    """Markdown as text: headings underlined, no backticks, link texts only."""
    lines = []
    for line in markdown.rstrip('\n').split('\n'):
        heading = re.match(r'#+ (.*)', line)
        if heading:
            lines += [heading.group(1), '-' * len(heading.group(1))]
            continue
        # The guide's own sections are in the zip's copy of it.
        line = re.sub(r'\[([^]]*)\]\(#[^)]*\)', r'\1 in docs\\players-guide.md', line)
        line = re.sub(r'\[([^]]*)\]\([^)]*\)', r'\1', line)
        lines.append(line.replace('`', ''))
    return '\n'.join(lines)


def main(guide, template, version, out):
    text = open(template, encoding='utf-8').read()
    text = text.replace('@TRILO_VERSION@', version).replace('@PLAYERS@', plain(players_part(guide)))
    bad = re.search(r'[^\n\t -~]', text)
    if bad:
        sys.exit('%s: README.txt would not be plain ASCII: %r' % (guide, bad.group(0)))
    with open(out, 'wb') as f:
        f.write(text.replace('\n', '\r\n').encode('ascii'))


if __name__ == '__main__':
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    main(*sys.argv[1:])
