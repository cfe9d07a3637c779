"""The README's code blocks run as written, and show what they give."""

import ast
import io
import os
import pathlib
import re
import shlex
import subprocess
import sys
import tokenize

import pytest

from vantorq import cli

ROOT = pathlib.Path(__file__).resolve().parents[2]
BLOCKS = re.findall(r"^```(\w+)\n(.*?)^```", (ROOT / "README.md").read_text(encoding="utf-8"), re.MULTILINE | re.DOTALL)
SH_BLOCKS = [text for language, text in BLOCKS if language == "sh"]
PYTHON_BLOCKS = [text for language, text in BLOCKS if language == "python"]
# What the README's examples use that came after the oldest interpreter the
# module serves (the README says so beside them): skipped on older ones.
NEWER_NAMES = {"file_digest": (3, 11)}
PROVISIONED_PYTHON = pathlib.Path("~/.cache/vantorq/python3.15/usr/bin/python3.15").expanduser()


def shown_results(block):
    """Line number -> the value a line's comment shows, where the comment is a Python literal."""
    results = {}
    for token in tokenize.generate_tokens(io.StringIO(block).readline):
        if token.type == tokenize.COMMENT:
            try:
                results[token.start[0]] = ast.literal_eval(token.string[1:].strip())
            except (ValueError, SyntaxError):
                pass
    return results


@pytest.mark.parametrize("block", PYTHON_BLOCKS)
def test_python_blocks_run_and_give_the_results_their_comments_show(block):
    results = shown_results(block)
    namespace = {}
    for statement in ast.parse(block).body:
        names = {node.attr for node in ast.walk(statement) if isinstance(node, ast.Attribute)}
        if any(sys.version_info < NEWER_NAMES[name] for name in names & NEWER_NAMES.keys()):
            continue
        if isinstance(statement, ast.Expr) and statement.end_lineno in results:
            value = eval(compile(ast.Expression(statement.value), "README.md", "eval"), namespace)
            assert value == results[statement.end_lineno], ast.unparse(statement)
        else:
            exec(compile(ast.Module([statement], []), "README.md", "exec"), namespace)


@pytest.mark.parametrize("block", SH_BLOCKS)
def test_sh_blocks_parse_and_name_commands_that_exist(block):
    subprocess.run(["bash", "-n"], input=block, text=True, check=True)
    for line in block.splitlines():
        words = shlex.split(line, comments=True)
        if words and words[0].startswith("scripts/"):
            assert os.access(ROOT / words[0], os.X_OK), line
        if words[:3] == ["python", "-m", "vantorq"]:
            arguments = words[3:]
            redirection = next((i for i, word in enumerate(arguments) if word in (">", "<", "|")), len(arguments))
            cli.parser().parse_args(arguments[:redirection])


def test_venv_recipe_makes_a_venv_with_pip(tmp_path):
    if not PROVISIONED_PYTHON.exists():
        pytest.skip("no provisioned interpreter")
    (recipe,) = [block for block in SH_BLOCKS if "--without-pip" in block]
    subprocess.run(["bash", "-e", "-c", recipe], cwd=tmp_path, check=True, timeout=300)
    subprocess.run([tmp_path / ".venv" / "bin" / "python", "-m", "pip", "--version"], check=True)
