"""The share of this machine's processor time that its host took for something else.

On a shared virtual machine the host may run other guests while this one wants to run
("steal" in /proc/stat); the benchmarks print that share so that their figures can be read
against it."""


def _ticks():
    """(stolen, wanted) ticks of all processors since boot; wanted = busy + stolen. None
    where the kernel does not count them."""
    try:
        with open("/proc/stat") as f:
            user, nice, system, _idle, _iowait, irq, softirq, steal = (int(v) for v in f.readline().split()[1:9])
        return steal, user + nice + system + irq + softirq + steal
    except (OSError, ValueError):
        return None


class StolenTime:
    """Counts from its creation; text() says what share was stolen since."""

    def __init__(self):
        self._before = _ticks()

    def text(self):
        after = _ticks()
        if not self._before or not after or after[1] <= self._before[1]:
            return "time stolen by the host during the runs: not counted on this machine"
        share = 100 * (after[0] - self._before[0]) / (after[1] - self._before[1])
        return f"time stolen by the host during the runs: {share:.0f} % of the time this machine wanted to run"
