# Sourced by the scripts that make virtual environments.
#   make_venv PYTHON DIR   a new venv at DIR, with pip, from PYTHON
# The provisioned interpreters are Debian's builds, whose ensurepip cannot find
# Debian's wheels in a relocated prefix: pip is bootstrapped from its wheel.

make_venv() {
    local python=$1 dir=$2 pip_wheel
    rm -rf "$dir"
    "$python" -m venv --without-pip "$dir"
    pip_wheel=$(ls "$(dirname "$python")"/../share/python-wheels/pip-*.whl 2>/dev/null | head -n 1 || true)
    if [ -n "$pip_wheel" ]; then
        "$dir/bin/python" "$pip_wheel/pip" install -q --no-index "$pip_wheel"
    else
        "$dir/bin/python" -m ensurepip --default-pip >/dev/null
    fi
}
