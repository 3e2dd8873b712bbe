#!/usr/bin/env python3
"""Every text the help files quote is one the program shows: each quote is found in the
sources (with "..." standing for what the message fills in), or is the title of a help
topic, or an example address. Usage: help_quotes.py REPOSITORY"""
import pathlib, re, sys

root = pathlib.Path(sys.argv[1])
code = "\n".join(p.read_text() for p in sorted((root / "src").rglob("*.cpp")))
# A message put together from a named text: QStringLiteral("a ") + Name + QStringLiteral(" b")
names = dict(re.findall(r'\b(\w+) = QStringLiteral\("([^"]*)"\);', code))
code = re.sub(r'"\)\s*\+\s*(\w+)\s*\+\s*QStringLiteral\("', lambda m: names.get(m[1], "\0"), code)
topics = (root / "data/help/content.dat").read_text().splitlines()
wrong = []
for path in sorted((root / "data/help").glob("help_*.dat")):
    for quote in re.findall(r'"([^"\n]+)"', path.read_text()):
        pieces = [p for p in quote.split("...") if p.strip()]
        if quote not in topics and "://" not in quote and not all(p in code for p in pieces):
            wrong.append(f'{path.name}: "{quote}"')
print("\n".join(wrong) or "every quoted text is shown by the program")
sys.exit(1 if wrong else 0)
