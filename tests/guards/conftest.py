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
        # A case is judged by its least round, which a leak would keep above zero.
        references = max(min(references for references, _ in drifts) for _, drifts in DRIFTS)
        blocks = max(min(blocks for _, blocks in drifts) for _, drifts in DRIFTS)
        terminalreporter.write_line(
            f"reference guard: {len(DRIFTS)} cases, {sum(calls for calls, _ in DRIFTS)} calls; "
            f"largest drift of a case's least round: {references} references, {blocks} blocks"
        )
    if STRESS:
        raised = sorted({name for _, _, errors in STRESS for name in errors})
        terminalreporter.write_line(
            f"thread stress: {len(STRESS)} scenarios, {sum(calls for _, calls, _ in STRESS)} calls, "
            f"{sum(len(errors) for _, _, errors in STRESS)} documented exceptions ({', '.join(raised) or 'none'})"
        )
