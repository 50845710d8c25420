#!/usr/bin/env python3
"""Checks the settings integer syntax against an independent reference.

The reference below evaluates the grammar step by step with Python's unbounded integers and then
applies the range rules; the program's parser (through int_syntax_probe, built natively under the
sanitizers) must give the same answer for every text. Texts come from a seeded generator that
mixes the grammar's own pieces, numbers near every range edge and random bytes.

usage: int_syntax_reference.py PROBE [--count N] [--seed S]
"""
import argparse
import random
import subprocess
import sys

DEC = set(b"0123456789")
HEX = set(b"0123456789abcdefABCDEF")


def reference(text: bytes):
    """The value of `text` as a signed 32-bit integer, or None when the syntax rejects it."""
    if len(text) > 2 and text[:2] in (b"0x", b"0X"):
        text = b"$" + text[2:]
    i = 0
    while i < len(text) and text[i] == 0x20:
        i += 1
    sign = 1
    if i < len(text) and text[i] in b"+-":
        sign = -1 if text[i] == ord("-") else 1
        i += 1
    rest = text[i:]
    if rest[:1] in (b"$", b"x", b"X"):
        base, digits = 16, rest[1:]
    elif rest[:2] in (b"0x", b"0X"):
        base, digits = 16, rest[2:]
    else:
        base, digits = 10, rest
    if not digits or not set(digits) <= (HEX if base == 16 else DEC):
        return None
    magnitude = int(digits.decode("ascii"), base)
    if base == 10:
        value = sign * magnitude
        return value if -2**31 <= value <= 2**31 - 1 else None
    if magnitude >= 2**32:
        return None
    signed = magnitude - 2**32 if magnitude >= 2**31 else magnitude
    value = sign * signed
    # Negating -2^31 stays -2^31 in 32 bits.
    return (value + 2**31) % 2**32 - 2**31


PIECES = [b" ", b"  ", b"+", b"-", b"$", b"x", b"X", b"0x", b"0X", b"0", b"00", b"7", b"9",
          b"f", b"F", b"a", b"g", b"\t", b"\0", b".", b"\xff", b"\x81\x5c"]


def random_text(rng: random.Random) -> bytes:
    kind = rng.randrange(4)
    if kind == 0:  # grammar pieces in any order
        return b"".join(rng.choice(PIECES) for _ in range(rng.randrange(8)))
    if kind == 1:  # random bytes, mostly printable
        alphabet = bytes(range(0x20, 0x7F)) if rng.random() < 0.8 else bytes(range(256))
        return bytes(rng.choice(alphabet) for _ in range(rng.randrange(12)))
    # numbers near the range edges, written in any of the forms
    edge = rng.choice([0, 2**31, 2**32, 2**28, 10**9, 2**35])
    number = max(0, edge + rng.randrange(-40, 41))
    prefix = b" " * rng.choice([0, 0, 1, 3]) + rng.choice([b"", b"", b"+", b"-"])
    if kind == 2:
        body = b"0" * rng.choice([0, 0, 1, 12]) + str(number).encode()
    else:
        digits = format(number, "x" if rng.random() < 0.5 else "X").encode()
        body = rng.choice([b"$", b"x", b"X", b"0x", b"0X"]) + b"0" * rng.choice([0, 0, 9]) + digits
    text = prefix + body
    if rng.random() < 0.05:
        text += rng.choice(PIECES)
    if rng.random() < 0.05:
        text = rng.choice([b"0x", b"0X"]) + text
    return text


def main() -> int:
    parser = argparse.ArgumentParser()
    parser.add_argument("probe")
    parser.add_argument("--count", type=int, default=200_000)
    parser.add_argument("--seed", type=int, default=20261208)
    args = parser.parse_args()

    rng = random.Random(args.seed)
    texts = [random_text(rng) for _ in range(args.count)]
    # The edge cases named for the syntax, always included.
    texts += [b"0x1F4", b"$1F4", b"x1f4", b" 12", b"12 ", b"1 2", b"-0x10", b"2147483648",
              b"-2147483648", b"$FFFFFFFF", b"-$FFFFFFFF", b"-$80000000", b"$100000000", b"",
              b"0x", b"0x-1", b" 0x10", b"-", b"$", b"+0"]
    stdin = "".join(t.hex() + "\n" for t in texts)
    run = subprocess.run([args.probe], input=stdin, capture_output=True, text=True, check=False)
    if run.returncode != 0:
        print(run.stderr, file=sys.stderr)
        print(f"probe ended with {run.returncode}", file=sys.stderr)
        return 1
    answers = run.stdout.splitlines()
    if len(answers) != len(texts):
        print(f"probe answered {len(answers)} of {len(texts)} texts", file=sys.stderr)
        return 1

    mismatches = 0
    accepted = 0
    for text, answer in zip(texts, answers):
        expected = reference(text)
        got = None if answer == "-" else int(answer)
        accepted += got is not None
        if got != expected:
            mismatches += 1
            if mismatches <= 20:
                print(f"{text!r}: program {got}, reference {expected}", file=sys.stderr)
    print(f"{len(texts)} texts, {accepted} accepted, {mismatches} mismatches")
    return 1 if mismatches else 0


if __name__ == "__main__":
    sys.exit(main())
