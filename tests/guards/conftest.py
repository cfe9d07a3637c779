import pytest

DRIFTS = []  # (calls, [(reference drift, block drift) per round]) per case
STRESS = []  # (scenario, calls, names of the documented exceptions raised)


@pytest.fixture
def drift_record():
    return lambda calls, drifts: DRIFTS.append((calls, drifts))


@pytest.fixture
def stress_record():
    return lambda scenario, calls, errors: STRESS.append((scenario, calls, errors))


def pytest_terminal_summary(terminalreporter):
    if DRIFTS:
        # A case is judged by its last round: rounds go on while a leak may be growing.
        references = max(drifts[-1][0] for _, drifts in DRIFTS)
        blocks = max(drifts[-1][1] for _, drifts in DRIFTS)
        rounds = max(len(drifts) for _, drifts in DRIFTS)
        terminalreporter.write_line(
            f"reference guard: {len(DRIFTS)} cases, {sum(calls for calls, _ in DRIFTS)} calls; largest drift "
            f"of a case's last round: {references} references, {blocks} blocks; most rounds: {rounds}"
        )
    if STRESS:
        raised = sorted({name for _, _, errors in STRESS for name in errors})
        terminalreporter.write_line(
            f"thread stress: {len(STRESS)} scenarios, {sum(calls for _, calls, _ in STRESS)} calls, "
            f"{sum(len(errors) for _, _, errors in STRESS)} documented exceptions ({', '.join(raised) or 'none'})"
        )
