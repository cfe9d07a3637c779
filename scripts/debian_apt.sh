# Sourced by the provisioning scripts: apt-get over a private state folder, so
# Debian packages can be fetched into a cache and unpacked there without
# touching the machine's own apt state.
#   private_apt DIR [SUITE [ARCH]]
#                             fills APT_OPTS and updates the package lists:
#                             SUITE from the machine's mirror, or without it
#                             the machine's own sources; with ARCH (a Debian
#                             architecture, arm64) that architecture's packages.
#   install_missing PKG...    installs, from the machine's own sources, those
#                             of the packages it lacks, without the packages
#                             they only recommend: a step that needs one names it.

ensure_archive_keyring() {
    [ -f /usr/share/keyrings/debian-archive-keyring.gpg ] && return
    apt-get update -qq >&2
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debian-archive-keyring >&2
}

# The mirror is read from the machine's own configuration, never written down here.
debian_mirror() {
    local mirror
    mirror=$(awk '/^URIs:/ && $2 !~ /security/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
    if [ -z "$mirror" ]; then
        mirror=$(awk '/^deb / && $0 !~ /security/ {for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) {print $i; exit}}' \
                 /etc/apt/sources.list 2>/dev/null || true)
    fi
    [ -n "$mirror" ] || { echo "no Debian mirror configured on this machine" >&2; return 1; }
    echo "$mirror"
}

private_apt() {
    local dir=$1 suite=${2:-} arch=${3:-} options=signed-by=/usr/share/keyrings/debian-archive-keyring.gpg
    mkdir -p "$dir/lists/partial" "$dir/archives/partial" "$dir/empty.d"
    APT_OPTS=(-o "Dir::State::Lists=$dir/lists" -o "Dir::Cache::Archives=$dir/archives"
              -o APT::Sandbox::User=root -o Acquire::Check-Valid-Until=false)
    if [ -n "$arch" ]; then
        options+=" arch=$arch"
        APT_OPTS+=(-o "APT::Architectures=$arch" -o "APT::Architecture=$arch")
    fi
    if [ -n "$suite" ]; then
        ensure_archive_keyring
        echo "deb [$options] $(debian_mirror) $suite main" >"$dir/sources.list"
        APT_OPTS+=(-o "Dir::Etc::sourcelist=$dir/sources.list" -o "Dir::Etc::sourceparts=$dir/empty.d")
    fi
    apt-get "${APT_OPTS[@]}" update -qq >&2
}

install_missing() {
    local missing=() p
    for p in "$@"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
    [ ${#missing[@]} -eq 0 ] && return
    echo "== installing ${missing[*]}" >&2
    apt-get update -qq >&2
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
