"""VORN.DAT as the two-copies tests of both programs write and read it: a
scripted table, the rows read back with their guard line and checksum
checked, and the table's own rule for where a result goes."""

from x_session import Failure, wait_for

GUARD = "[Do not cheat!]" + " " * 173 + "."

# A table every game enters, whatever its score: five results below zero.
LOW_TABLE = [("Low%d" % row, -1 - row) for row in range(5)]


class TableError(Exception):
    pass


def checksum(records):
    return sum(sum(b for b in (record + "\n").encode("cp1252")) for record in records)


def write_table(path, rows):
    """A whole VORN.DAT of (name, score) rows, level 1 and no lines, CR LF."""
    records = ["%s;%d;1;0" % row for row in rows]
    with open(path, "w", newline="") as f:
        f.write(GUARD + "\r\n" + "".join(r + "\r\n" for r in records) + "%d\r\n" % checksum(records))


def saved_rows(path):
    """The five rows of VORN.DAT as (name, score); raises TableError unless the
    guard line and the checksum hold."""
    with open(path, "rb") as f:
        lines = f.read().replace(b"\r\n", b"\n").split(b"\n")
    if len(lines) < 7 or lines[0][188:189] != b".":
        raise TableError("the guard line is damaged")
    total = sum(sum(line) + 10 for line in lines[1:6])
    if lines[6].strip() != str(total).encode():
        raise TableError("the checksum %r does not match the records (%d)" % (lines[6], total))
    return [(fields[0].decode("cp1252"), int(fields[1])) for fields in (line.split(b";") for line in lines[1:6])]


def merged(rows, entry):
    """The table's own rule: a result goes below every row at least as high,
    and the lowest row drops out."""
    position = sum(1 for _, score in rows if score >= entry[1])
    return (rows[:position] + [entry] + rows[position:])[:5]


def saved_with(path, *names):
    """A probe for wait_for: the rows once the file checks out and holds every name."""
    def probe():
        try:
            rows = saved_rows(path)
        except (TableError, ValueError, IndexError, OSError):
            return None
        return rows if all(any(n == name for n, _ in rows) for name in names) else None
    return probe


def expected_orders(rows, first, second):
    """The table the low table must have become when `first` saved before
    `second`, with the scores the two names hold in `rows`."""
    scores = dict(rows)
    return merged(merged(LOW_TABLE, (first, scores[first])), (second, scores[second]))


def describe(path):
    """What VORN.DAT holds, for a failure's message."""
    try:
        return repr(saved_rows(path))
    except (TableError, ValueError, IndexError, OSError) as problem:
        return "no table (%s)" % problem


def wait_for_names(path, *names, limit):
    """The rows of VORN.DAT once it holds every name; fails saying what it holds."""
    try:
        return wait_for("the names in VORN.DAT", saved_with(path, *names), limit, pause=0.2)
    except Failure:
        raise Failure("VORN.DAT does not hold %s: it holds %s" % (" and ".join(names), describe(path)))
