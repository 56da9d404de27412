#!/usr/bin/env python3
"""Turns the JSON lines of folivane-bench (--json FILE) into the Markdown
tables of docs/performance.md: one row per input, one column per measure."""
import json
import sys

STAGES = ["read_decode", "build_index", "load_text", "style_headings", "restore_highlights",
          "restore_view", "open_total", "bare_setPlainText", "find_one", "find_walk", "close"]


def ms(value):
    if value >= 100:
        return "%.0f" % value
    if value >= 10:
        return "%.1f" % value
    if value >= 1:
        return "%.2f" % value
    return "%.3f" % value


def median(row):
    if row is None or row.get("median_ms") is None:
        return ""
    return ms(row["median_ms"])


def spread(row):
    if row is None or row.get("median_ms") is None:
        return ""
    return ms(row["min_ms"]) + "–" + ms(row["max_ms"])


def main(path):
    rows, checks, order = {}, [], []
    for line in open(path, encoding="utf-8"):
        item = json.loads(line)
        if "check" in item:
            checks.append(item)
            continue
        if item["input"] not in order:
            order.append(item["input"])
        rows[(item["input"], item["measure"])] = item
    for title, show in (("Medians, ms", median), ("Min–max, ms", spread)):
        print(f"{title}:\n")
        print("| input | bytes | " + " | ".join(STAGES) + " |")
        print("|---|---:|" + "---:|" * len(STAGES))
        for name in order:
            if name == "empty-window":
                continue
            size = next(r["bytes"] for (i, _), r in rows.items() if i == name)
            print(f"| {name} | {size} | " + " | ".join(show(rows.get((name, s))) for s in STAGES) + " |")
        print()
    print("| input | build_index MB/s | find_one MB/s | find_walk hits | peak RSS kB |")
    print("|---|---:|---:|---:|---:|")
    for name in order:
        index = rows.get((name, "build_index"), {})
        find = rows.get((name, "find_one"), {})
        walk = rows.get((name, "find_walk"), {})
        rss = rows.get((name, "rss_document")) or rows.get((name, "rss_empty")) or {}
        fmt = lambda v: "" if v is None else ("%.0f" % v)
        print(f"| {name} | {fmt(index.get('mb_per_s'))} | {fmt(find.get('mb_per_s'))} | "
              f"{fmt(walk.get('hits'))} | {fmt(rss.get('peak_rss_kb'))} |")
    print()
    print("| check | input | value | target | met |")
    print("|---|---|---:|---|---|")
    for c in checks:
        met = {True: "yes", False: "**no**"}.get(c.get("met"), "")
        print(f"| {c['check']} | {c['input']} | {ms(c['value'])} | {c['target']} | {met} |")


if __name__ == "__main__":
    main(sys.argv[1])
