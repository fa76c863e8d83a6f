"""Assertions shared by the end-to-end harness and the journeys."""


class Fatal(AssertionError):
    """A failure that no waiting can mend (a process ended): wait loops
    pass it on at once."""


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def check_equal(actual, expected, what):
    if actual != expected:
        raise AssertionError("%s: expected %r, got %r" % (what, expected, actual))


def norm_lines(text):
    """Line breaks as the user sees them: CR, CRLF, LF and U+2028 alike."""
    return (text.replace("\r\n", "\n").replace("\r", "\n")
            .replace("\u2028", "\n"))
